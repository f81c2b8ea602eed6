#include "pipeline/ConfidenceRegions.h"

#include <cmath>

namespace quendrix {

void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns) {
    const auto n = size_t(GridSize);
    std::vector<float> peak(n, 0.0f), total(n, 0.0f);
    // |Prob| transposed, so that the level search runs over the columns side by side.
    std::vector<float> magnitudes(n * n);
    for (int i = 0; i < GridSize; ++i) {
        const float* prob = m.row(Field::Prob, i);
        float* confi = m.row(Field::Confi, i);
        for (int j = 0; j < GridSize; ++j) {
            confi[j] = 0;
            const float a = std::fabs(prob[j]);
            magnitudes[size_t(j) * n + size_t(i)] = a;
            if (a > peak[size_t(i)]) {
                peak[size_t(i)] = a;
                columns.modeIndex[size_t(i)] = j;
            }
            total[size_t(i)] += a;
        }
        if (total[size_t(i)] == 0) {
            columns.modeIndex[size_t(i)] = NoIndex;
            columns.aveIndex[size_t(i)] = NoIndex;
        }
    }
    std::vector<std::array<float, 2>> levels;
    searchLevels(magnitudes, GridSize, GridSize, peak, total, coefficients, levels);
    const bool whole = coefficients.first == 1000 || coefficients.second == 1000;
    for (int i = 0; i < GridSize; ++i) {
        columns.confLevel[size_t(i)] = levels[size_t(i)];
        if (total[size_t(i)] == 0) {
            continue;
        }
        const float* prob = m.row(Field::Prob, i);
        float* confi = m.row(Field::Confi, i);
        for (int j = 0; j < GridSize; ++j) {
            const float a = std::fabs(prob[j]);
            float cls = 0;
            if (a > levels[size_t(i)][0]) {
                cls += 1;
            }
            if (a > levels[size_t(i)][1]) {
                cls += 1;
            }
            if (j > 0 && j == columns.modeIndex[size_t(i)]) {
                cls = 3;
            }
            if (whole && cls == 0) {
                cls = 1;
            }
            if (prob[j] < 0) {
                cls = -cls;
                columns.aveIndex[size_t(i)] = j;
            }
            confi[j] = cls;
        }
    }
}

} // namespace quendrix
