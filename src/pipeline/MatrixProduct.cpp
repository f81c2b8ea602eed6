#include "pipeline/MatrixProduct.h"

#include <algorithm>
#include <cassert>

namespace quendrix {

void multipleMatrix(StageMatrix& m, Field a, Field b, Field c) {
    assert(c != a && c != b);
    alignas(64) float acc[GridSize];
    for (int i = 0; i < GridSize; ++i) {
        std::fill(std::begin(acc), std::end(acc), 0.0f);
        const float* bRow = m.row(b, i);
        for (int k = 0; k < GridSize; ++k) {
            const float bk = bRow[k];
            if (bk == 0) {
                continue;
            }
            const double bd = bk;
            const float* aRow = m.row(a, k);
            for (int j = 0; j < GridSize; ++j) {
                acc[j] = float(double(acc[j]) + bd * double(aRow[j]));
            }
        }
        std::copy(std::begin(acc), std::end(acc), m.row(c, i));
    }
}

} // namespace quendrix
