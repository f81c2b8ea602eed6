#include "pipeline/ColumnAnalysis.h"

#include "base/Vectorise.h"
#include "pipeline/StageMatrix.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

constexpr int W = LevelSearchWidth;

/// Magnitudes of `width` columns, row by row into a block of W lanes; lanes beyond `width` hold
/// zeros. The columns are searched side by side, so they are laid side by side first.
QUENDRIX_VECTOR_CLONES
void gatherBlock(const float* first, int width, int rows, std::size_t stride, float* block) {
    if (width < W) {
        std::fill(block, block + std::ptrdiff_t(rows) * W, 0.0f);
    }
    for (int l = 0; l < width; ++l) {
        const float* column = first + std::size_t(l) * stride;
        for (int r = 0; r < rows; ++r) {
            block[r * W + l] = std::fabs(column[r]);
        }
    }
}

/// Peak, mode (first row of the peak) and total of every lane, rows in increasing order.
QUENDRIX_VECTOR_CLONES
void blockStatistics(const float* block, int rows, float* peak, int* mode, float* total) {
    float p[W] = {};
    float t[W] = {};
    int m[W] = {}; // stays 0 only in a lane without any value
    for (int r = 0; r < rows; ++r) {
        const float* v = block + r * W;
        for (int l = 0; l < W; ++l) {
            // The row as a mask-selected integer, so that lanes of floats and of integers go
            // side by side.
            const int higher = -int(v[l] > p[l]);
            m[l] = (m[l] & ~higher) | (r & higher);
            p[l] = v[l] > p[l] ? v[l] : p[l];
            t[l] += v[l];
        }
    }
    std::copy(p, p + W, peak);
    std::copy(m, m + W, mode);
    std::copy(t, t + W, total);
}

/// First row of every lane at which the running sum exceeds half the lane's total; 0 where none
/// does. Leading rows of zeros add nothing to the sums and are skipped.
QUENDRIX_VECTOR_CLONES
void blockHalfIndices(const float* block, int rows, const float* total, int* half) {
    float target[W];
    float c[W] = {};
    int found[W];
    for (int l = 0; l < W; ++l) {
        target[l] = float(double(total[l]) / 2);
        found[l] = total[l] == 0 ? 0 : -1;
    }
    int r = 0;
    auto rowEmpty = [&](int row) {
        bool any = false;
        for (int l = 0; l < W; ++l) {
            any |= block[row * W + l] != 0;
        }
        return !any;
    };
    while (r < rows && rowEmpty(r)) {
        ++r;
    }
    for (; r < rows; ++r) {
        const float* v = block + r * W;
        bool open = false;
        for (int l = 0; l < W; ++l) {
            c[l] += v[l];
            const bool crossed = found[l] < 0 && c[l] > target[l];
            found[l] = crossed ? r : found[l];
            open |= found[l] < 0;
        }
        if (!open) {
            break;
        }
    }
    for (int l = 0; l < W; ++l) {
        half[l] = found[l] < 0 ? 0 : found[l];
    }
}

/// The number of levels a magnitude lies strictly above, at least `atLeast`.
inline float levelClass(float a, const std::array<float, 2>& level, float atLeast) {
    return std::max((a > level[0] ? 1.0f : 0.0f) + (a > level[1] ? 1.0f : 0.0f), atLeast);
}

QUENDRIX_VECTOR_CLONES
void classifyColumn(const float* values, int rows, std::array<float, 2> level, bool whole,
                    float* classes) {
    const float atLeast = whole ? 1.0f : 0.0f;
    for (int r = 0; r < rows; ++r) {
        classes[r] = levelClass(std::fabs(values[r]), level, atLeast);
    }
}

} // namespace

ColumnAnalysis::ColumnAnalysis(const float* first, int columns, int rows, std::size_t stride,
                               Coefficients coefficients, bool halfIndices)
    : first_(first), rows_(rows), stride_(stride),
      whole_(coefficients.first == 1000 || coefficients.second == 1000),
      total_(std::size_t(columns), 0.0f), mode_(std::size_t(columns), NoIndex),
      half_(halfIndices ? std::size_t(columns) : 0, NoIndex), levels_(std::size_t(columns)) {
    std::vector<float> block(std::size_t(rows) * W);
    for (int c0 = 0; c0 < columns; c0 += W) {
        const int width = std::min(W, columns - c0);
        gatherBlock(first + std::size_t(c0) * stride, width, rows, stride, block.data());
        float peak[W];
        float total[W];
        int mode[W];
        blockStatistics(block.data(), rows, peak, mode, total);
        std::array<float, 2> levels[W];
        searchBlockLevels(block.data(), rows, peak, total, coefficients, levels);
        int half[W];
        if (halfIndices) {
            blockHalfIndices(block.data(), rows, total, half);
        }
        for (int l = 0; l < width; ++l) {
            const auto c = std::size_t(c0 + l);
            total_[c] = total[l];
            mode_[c] = total[l] == 0 ? NoIndex : mode[l];
            levels_[c] = levels[l];
            if (halfIndices) {
                half_[c] = total[l] == 0 ? NoIndex : half[l];
            }
        }
    }
}

void ColumnAnalysis::classify(int column, float* classes) const {
    const auto c = std::size_t(column);
    if (total_[c] == 0) {
        std::fill(classes, classes + rows_, 0.0f);
        return;
    }
    classifyColumn(first_ + c * stride_, rows_, levels_[c], whole_, classes);
    if (mode_[c] > 0) {
        classes[mode_[c]] = 3;
    }
}

int ColumnAnalysis::classOf(int column, int row) const {
    const auto c = std::size_t(column);
    if (total_[c] == 0 || row < 0 || row >= rows_) {
        return 0;
    }
    if (row > 0 && row == mode_[c]) {
        return 3;
    }
    return int(levelClass(std::fabs(first_[c * stride_ + std::size_t(row)]), levels_[c],
                          whole_ ? 1.0f : 0.0f));
}

} // namespace quendrix
