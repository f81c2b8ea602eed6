#include "pipeline/LevelSearch.h"

#include "base/Vectorise.h"

#include <algorithm>
#include <cstddef>

namespace quendrix {
namespace {

constexpr int W = LevelSearchWidth;

/// Every level of a column whose peak is a normal single stays at or above peak / 1024: it
/// starts at peak / 2 and each later step is half the one before, so even ten downward steps
/// stop at peak / 1024, and rounding, which keeps order, cannot take it lower. A cell at or
/// below that floor never lies above a level and adds nothing in any round. Below 2^-100 the
/// steps could lose bits, so only zeros are known never to count.
float neverAbove(float peak) {
    return peak >= 0x1p-100f ? peak * (1.0f / 1024) : 0.0f;
}

/// First and last row in which any lane may lie above a level; first > last when none does.
std::pair<int, int> activeRows(const float* block, int rows, const float* peak) {
    float floor[W];
    for (int l = 0; l < W; ++l) {
        floor[l] = neverAbove(peak[l]);
    }
    auto active = [&](int r) {
        bool any = false;
        for (int l = 0; l < W; ++l) {
            any |= block[r * W + l] > floor[l];
        }
        return any;
    };
    int first = 0;
    while (first < rows && !active(first)) {
        ++first;
    }
    int last = rows - 1;
    while (last > first && !active(last)) {
        --last;
    }
    return {first, first < rows ? last : -1};
}

/// Sums of the cells above each lane's levels over rows first..last, in increasing row order.
/// Rows outside hold nothing above a level and would only add zeros.
QUENDRIX_VECTOR_CLONES
void sumAbove(const float* block, int first, int last, const float* level0, const float* level1,
              float* acc0, float* acc1) {
    float a0[W] = {};
    float a1[W] = {};
    for (int r = first; r <= last; ++r) {
        const float* v = block + r * W;
        // Adding 0 leaves a sum unchanged, so the comparison selects the term instead of
        // branching.
        for (int l = 0; l < W; ++l) {
            a0[l] += v[l] > level0[l] ? v[l] : 0.0f;
            a1[l] += v[l] > level1[l] ? v[l] : 0.0f;
        }
    }
    std::copy(a0, a0 + W, acc0);
    std::copy(a1, a1 + W, acc1);
}

} // namespace

void searchBlockLevels(const float* block, int rows, const float* peak, const float* total,
                       Coefficients coefficients, std::array<float, 2>* levels) {
    const auto [first, last] = activeRows(block, rows, peak);
    const float t0 = float(coefficients.first / 1000.0);
    const float t1 = float(coefficients.second / 1000.0);
    float level0[W] = {};
    float level1[W] = {};
    int dir0[W];
    int dir1[W];
    std::fill(dir0, dir0 + W, 1);
    std::fill(dir1, dir1 + W, 1);
    double divisor = 1;
    for (int round = 1; round <= 10; ++round) {
        divisor *= 2;
        for (int l = 0; l < W; ++l) {
            const double step = double(peak[l]) / divisor;
            level0[l] = float(double(level0[l]) + dir0[l] * step);
            level1[l] = float(double(level1[l]) + dir1[l] * step);
        }
        float acc0[W];
        float acc1[W];
        sumAbove(block, first, last, level0, level1, acc0, acc1);
        for (int l = 0; l < W; ++l) {
            if (total[l] == 0) {
                continue;
            }
            const float f0 = float(double(acc0[l]) / double(total[l]));
            const float f1 = float(double(acc1[l]) / double(total[l]));
            dir0[l] = t0 >= f0 ? -1 : 1;
            dir1[l] = t1 >= f1 ? -1 : 1;
        }
    }
    for (int l = 0; l < W; ++l) {
        levels[l] = total[l] != 0 ? std::array<float, 2>{level0[l], level1[l]}
                                  : std::array<float, 2>{0.0f, 0.0f};
    }
}

void searchLevels(const std::vector<float>& values, int rows, int columns,
                  const std::vector<float>& peak, const std::vector<float>& total,
                  Coefficients coefficients, std::vector<std::array<float, 2>>& levels) {
    const auto n = std::size_t(columns);
    levels.assign(n, {0.0f, 0.0f});
    std::vector<float> block(std::size_t(rows) * W);
    for (std::size_t c0 = 0; c0 < n; c0 += W) {
        const int width = int(std::min<std::size_t>(W, n - c0));
        float blockPeak[W] = {};
        float blockTotal[W] = {};
        std::copy_n(&peak[c0], width, blockPeak);
        std::copy_n(&total[c0], width, blockTotal);
        std::fill(block.begin(), block.end(), 0.0f);
        for (int r = 0; r < rows; ++r) {
            std::copy_n(&values[std::size_t(r) * n + c0], width, &block[std::size_t(r) * W]);
        }
        std::array<float, 2> blockLevels[W];
        searchBlockLevels(block.data(), rows, blockPeak, blockTotal, coefficients, blockLevels);
        std::copy_n(blockLevels, width, &levels[c0]);
    }
}

} // namespace quendrix
