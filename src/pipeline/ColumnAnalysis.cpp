#include "pipeline/ColumnAnalysis.h"

#include "pipeline/StageMatrix.h"

#include <cmath>

namespace quendrix {

ColumnAnalysis::ColumnAnalysis(const float* first, int columns, int rows, std::size_t stride,
                               Coefficients coefficients)
    : first_(first), rows_(rows), stride_(stride),
      whole_(coefficients.first == 1000 || coefficients.second == 1000),
      total_(std::size_t(columns), 0.0f), mode_(std::size_t(columns), NoIndex) {
    const auto n = std::size_t(columns);
    std::vector<float> peak(n, 0.0f);
    // Magnitudes row by row, so that the level search runs over the columns side by side.
    std::vector<float> magnitudes(std::size_t(rows) * n);
    for (std::size_t c = 0; c < n; ++c) {
        const float* column = first + c * stride;
        for (int r = 0; r < rows; ++r) {
            const float a = std::fabs(column[r]);
            magnitudes[std::size_t(r) * n + c] = a;
            if (a > peak[c]) {
                peak[c] = a;
                mode_[c] = r;
            }
            total_[c] += a;
        }
        if (total_[c] == 0) {
            mode_[c] = NoIndex;
        }
    }
    searchLevels(magnitudes, rows, columns, peak, total_, coefficients, levels_);
}

void ColumnAnalysis::classify(int column, float* classes) const {
    const auto c = std::size_t(column);
    const float* values = first_ + c * stride_;
    for (int r = 0; r < rows_; ++r) {
        float cls = 0;
        if (total_[c] != 0) {
            const float a = std::fabs(values[r]);
            if (a > levels_[c][0]) {
                cls += 1;
            }
            if (a > levels_[c][1]) {
                cls += 1;
            }
            if (r > 0 && r == mode_[c]) {
                cls = 3;
            }
            if (whole_ && cls == 0) {
                cls = 1;
            }
        }
        classes[r] = cls;
    }
}

} // namespace quendrix
