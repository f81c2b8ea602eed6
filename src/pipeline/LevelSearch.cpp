#include "pipeline/LevelSearch.h"

#include <cstddef>

namespace quendrix {

void searchLevels(const std::vector<float>& values, int rows, int columns,
                  const std::vector<float>& peak, const std::vector<float>& total,
                  Coefficients coefficients, std::vector<std::array<float, 2>>& levels) {
    const auto n = std::size_t(columns);
    std::vector<float> level0(n, 0.0f), level1(n, 0.0f), acc0(n), acc1(n);
    std::vector<int> dir0(n, 1), dir1(n, 1);
    const float t0 = float(coefficients.first / 1000.0);
    const float t1 = float(coefficients.second / 1000.0);
    double divisor = 1;
    for (int round = 1; round <= 10; ++round) {
        divisor *= 2;
        for (std::size_t c = 0; c < n; ++c) {
            const double step = double(peak[c]) / divisor;
            level0[c] = float(double(level0[c]) + dir0[c] * step);
            level1[c] = float(double(level1[c]) + dir1[c] * step);
            acc0[c] = 0;
            acc1[c] = 0;
        }
        // Rows in increasing order for every column; adding 0 leaves a sum unchanged, so the
        // comparison can select the term instead of branching.
        const float* v = values.data();
        float* a0 = acc0.data();
        float* a1 = acc1.data();
        const float* l0 = level0.data();
        const float* l1 = level1.data();
        for (int r = 0; r < rows; ++r, v += columns) {
            for (std::size_t c = 0; c < n; ++c) {
                a0[c] += v[c] > l0[c] ? v[c] : 0.0f;
                a1[c] += v[c] > l1[c] ? v[c] : 0.0f;
            }
        }
        for (std::size_t c = 0; c < n; ++c) {
            if (total[c] == 0) {
                continue;
            }
            const float f0 = float(double(acc0[c]) / double(total[c]));
            const float f1 = float(double(acc1[c]) / double(total[c]));
            dir0[c] = t0 >= f0 ? -1 : 1;
            dir1[c] = t1 >= f1 ? -1 : 1;
        }
    }
    levels.assign(n, {0.0f, 0.0f});
    for (std::size_t c = 0; c < n; ++c) {
        if (total[c] != 0) {
            levels[c] = {level0[c], level1[c]};
        }
    }
}

} // namespace quendrix
