#pragma once

#include "base/Result.h"
#include "pipeline/StageMatrix.h"

namespace quendrix {

/// Fills `Model` with the normal density of Y around the line slope * X + intercept with the
/// given standard deviation, over all 251 x 251 cells. Refuses a standard deviation that is not
/// positive, or a density too large for singles, and then leaves the matrix untouched.
Status gaussianModel(StageMatrix& m, const Grid& grid, float slope, float intercept, float stdDev);

} // namespace quendrix
