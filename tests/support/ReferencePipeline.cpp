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

std::array<float, 2> columnLevels(const std::vector<float>& column, Coefficients coefficients) {
    float peak = 0;
    float total = 0;
    for (float v : column) {
        peak = std::fmax(peak, std::fabs(v));
        total = float(double(total) + double(std::fabs(v)));
    }
    const std::array<int, 2> share{coefficients.first, coefficients.second};
    std::array<float, 2> level{0, 0};
    for (size_t k = 0; k < 2; ++k) {
        int dir = 1;
        for (int n = 1; n <= 10; ++n) {
            level[k] = float(double(level[k]) + dir * (double(peak) / std::pow(2.0, n)));
            float above = 0;
            for (float v : column) {
                if (std::fabs(v) > level[k]) {
                    above = float(double(above) + double(std::fabs(v)));
                }
            }
            dir = float(share[k] / 1000.0) >= float(double(above) / double(total)) ? -1 : 1;
        }
    }
    return level;
}

} // namespace quendrix::reference
