#include "pipeline/GaussianModel.h"

#include <cmath>

namespace quendrix {

Status gaussianModel(StageMatrix& m, const Grid& grid, float slope, float intercept, float stdDev) {
    if (!(stdDev > 0) || !std::isfinite(stdDev)) {
        return Failure{"the error model's standard deviation is 0: no error model can be built"};
    }
    const double s = stdDev;
    // 2 pi written with the program's own eleven decimals.
    const double norm = std::sqrt(6.28318530718) * s;
    if (!std::isfinite(float(1 / norm))) {
        return Failure{"the error model's standard deviation is too small for the grid"};
    }
    StageMatrix::Plane model;
    for (int i = 0; i < GridSize; ++i) {
        const double m0 = grid.valueAt(i) * double(slope) + double(intercept);
        for (int j = 0; j < GridSize; ++j) {
            const double d = grid.valueAt(j) - m0;
            model[size_t(i * GridSize + j)] = float(std::exp(-(d * d) / (2 * (s * s))) / norm);
        }
    }
    m.plane(Field::Model) = model;
    return {};
}

} // namespace quendrix
