#pragma once

#include "pipeline/StageMatrix.h"

namespace quendrix {

/// C = B x A over the full grid: field c of cell (i, j) becomes the sum over k = 0..250 of
/// B(i, k) * A(k, j), each product in double, the running sum rounded to a single after every
/// addition in increasing k. Terms that cannot change a sum (zeros of B, and of A where no value
/// is negative) are skipped and the k order per cell is kept, so the result is bit-identical to
/// the plain triple loop.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

} // namespace quendrix
