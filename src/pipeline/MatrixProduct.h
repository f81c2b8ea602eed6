#pragma once

#include "pipeline/StageMatrix.h"

#include <utility>
#include <vector>

namespace quendrix {

/// C = B x A over the full grid: field c of cell (i, j) becomes the sum over k = 0..250 of
/// B(i, k) * A(k, j), each product in double, the running sum rounded to a single after every
/// addition in increasing k. Terms that cannot change a sum (zeros of B, and of A where no value
/// is negative) are skipped and the k order per cell is kept, so the result is bit-identical to
/// the plain triple loop.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

/// First and last non-zero entry of each row of a plane (first > last for a row of zeros), and
/// whether any entry has its sign bit set: what the product skips by.
struct RowSpans {
    std::vector<std::pair<int, int>> span;
    bool anySign = false;
};
RowSpans rowSpans(const StageMatrix::Plane& plane);

/// The same product with the spans of A found already, for many products with one A.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c, const RowSpans& spansOfA);

} // namespace quendrix
