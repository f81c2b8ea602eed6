#pragma once

#include "base/Result.h"
#include "pipeline/StageMatrix.h"

namespace quendrix {

/// Standard deviations the model slider offers, in whole % of the range width.
inline constexpr int MinModelPercent = 1;
inline constexpr int MaxModelPercent = 20;

/// Standard deviation of the generated error model: `percent` of the range width, as a single.
float generatedModelStdDev(float rangeWidth, int percent);

/// The generated error model in place of file 2: the identity line with a Gaussian scatter of
/// `percent` of the range width, written into `Model`. Returns its standard deviation; refuses a
/// width that gives 0 and then leaves the matrix untouched.
Result<float> generateErrorModel(StageMatrix& m, const Grid& grid, float rangeWidth, int percent);

} // namespace quendrix
