#include "ReferencePipeline.h"

#include <cmath>

namespace quendrix::reference {

void multipleMatrix(StageMatrix& m, Field a, Field b, Field c) {
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            float s = 0;
            for (int k = 0; k < GridSize; ++k) {
                s = float(double(s) + double(m.at(b, i, k)) * double(m.at(a, k, j)));
            }
            m.at(c, i, j) = s;
        }
    }
}

std::array<float, 2> columnLevels(const std::vector<float>& column, float peak, float total,
                                  Coefficients coefficients) {
    std::array<float, 2> level{0, 0};
    std::array<int, 2> dir{1, 1};
    for (int n = 1; n <= 10; ++n) {
        std::array<float, 2> acc{0, 0};
        const double step = double(peak) / std::pow(2.0, n);
        for (int k = 0; k < 2; ++k) {
            level[size_t(k)] = float(double(level[size_t(k)]) + dir[size_t(k)] * step);
        }
        for (float v : column) {
            const float a = std::fabs(v);
            if (a > level[0]) {
                acc[0] = float(double(acc[0]) + double(a));
            }
            if (a > level[1]) {
                acc[1] = float(double(acc[1]) + double(a));
            }
        }
        const std::array<float, 2> f{float(double(acc[0]) / double(total)),
                                     float(double(acc[1]) / double(total))};
        const std::array<float, 2> t{float(coefficients.first / 1000.0),
                                     float(coefficients.second / 1000.0)};
        for (int k = 0; k < 2; ++k) {
            dir[size_t(k)] = t[size_t(k)] >= f[size_t(k)] ? -1 : 1;
        }
    }
    return level;
}

} // namespace quendrix::reference
