#pragma once

#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

#include <array>
#include <vector>

namespace quendrix::reference {

/// The plain triple loop of the matrix product: i, j, then k, no shortcut.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

/// The level bisection of one column, branch by branch as written out in the method.
std::array<float, 2> columnLevels(const std::vector<float>& column, float peak, float total,
                                  Coefficients coefficients);

} // namespace quendrix::reference
