#include "pipeline/Smoothing.h"

#include "pipeline/MatrixProduct.h"

#include <cassert>
#include <cmath>

namespace quendrix {

void buildKernel(StageMatrix& m, int level) {
    assert(level >= MinSmoothing);
    const float w = float(level * 200 / 100.0);
    const float h = float(double(w) / 2);
    for (int i = 0; i < GridSize; ++i) {
        for (int k = 0; k < GridSize; ++k) {
            const float d = float(std::abs(i - k));
            m.at(Field::Kernel, i, k) = d > h ? 0.0f : float((1 - double(d) / double(h)) * 0.5);
        }
    }
}

void smoothing(StageMatrix& m, int level) {
    buildKernel(m, level);
    multipleMatrix(m, Field::Discrete, Field::Kernel, Field::Smoothed);
}

} // namespace quendrix
