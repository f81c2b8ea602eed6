#include "pipeline/MatrixProduct.h"

#include "base/Vectorise.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <vector>

namespace quendrix {

RowSpans rowSpans(const StageMatrix::Plane& plane) {
    RowSpans s;
    s.span.resize(GridSize);
    for (int k = 0; k < GridSize; ++k) {
        const float* row = &plane[size_t(k * GridSize)];
        int first = 0;
        while (first < GridSize && row[first] == 0) {
            ++first;
        }
        int last = GridSize - 1;
        while (last > first && row[last] == 0) {
            --last;
        }
        s.span[size_t(k)] = {first, first < GridSize ? last : -1};
        s.anySign |= std::any_of(row, row + GridSize, [](float v) { return std::signbit(v); });
    }
    return s;
}

namespace {

QUENDRIX_VECTOR_CLONES
void multiplyRows(const float* aPlane, const float* bPlane, float* cPlane, const RowSpans& a) {
    alignas(64) float acc[GridSize];
    for (int i = 0; i < GridSize; ++i) {
        std::fill(std::begin(acc), std::end(acc), 0.0f);
        const float* bRow = bPlane + i * GridSize;
        // Adding a zero product leaves a running sum unchanged, except that +0 turns a sum of -0
        // into +0; a sum can only be -0 after a negative term, so where no value has its sign
        // bit set the zeros of A and B are skipped.
        const bool skipZeros = !a.anySign && std::none_of(bRow, bRow + GridSize,
                                                          [](float v) { return std::signbit(v); });
        for (int k = 0; k < GridSize; ++k) {
            const float bk = bRow[k];
            if (bk == 0) {
                continue;
            }
            const auto [first, last] =
                skipZeros ? a.span[size_t(k)] : std::pair<int, int>{0, GridSize - 1};
            const float* aRow = aPlane + k * GridSize;
            if (bk == 1) {
                // The exact sum of two singles rounded to double and then to single is that sum
                // rounded to single (double holds more than twice single's digits plus two), so
                // with a factor of 1 single additions give the same bits.
                for (int j = first; j <= last; ++j) {
                    acc[j] += aRow[j];
                }
            } else {
                // The product of two singles is exact in double.
                const double bd = bk;
                for (int j = first; j <= last; ++j) {
                    acc[j] = float(double(acc[j]) + bd * double(aRow[j]));
                }
            }
        }
        std::copy(std::begin(acc), std::end(acc), cPlane + i * GridSize);
    }
}

} // namespace

void multipleMatrix(StageMatrix& m, Field a, Field b, Field c) {
    multipleMatrix(m, a, b, c, rowSpans(m.plane(a)));
}

void multipleMatrix(StageMatrix& m, Field a, Field b, Field c, const RowSpans& spansOfA) {
    assert(c != a && c != b);
    multiplyRows(m.plane(a).data(), m.plane(b).data(), m.plane(c).data(), spansOfA);
}

} // namespace quendrix
