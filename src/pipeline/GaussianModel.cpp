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
    // Below this exponent the density stays under 2^-152 (2^-151 times e^-1, a margin no
    // rounding of exp or of the division can close), which rounds to 0 as a single: its
    // exponential need not be taken.
    const double zeroBelow = std::log(norm) - 151 * std::log(2.0) - 1;
    const double twoVariances = 2 * (s * s);
    StageMatrix::Plane& model = m.plane(Field::Model);
    for (int i = 0; i < GridSize; ++i) {
        const double m0 = grid.valueAt(i) * double(slope) + double(intercept);
        for (int j = 0; j < GridSize; ++j) {
            const double d = grid.valueAt(j) - m0;
            const double exponent = -(d * d) / twoVariances;
            model[size_t(i * GridSize + j)] =
                exponent < zeroBelow ? 0.0f : float(std::exp(exponent) / norm);
        }
    }
    return {};
}

} // namespace quendrix
