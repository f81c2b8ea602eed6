#pragma once

#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

#include <array>
#include <vector>

namespace quendrix::reference {

/// The plain triple loop of the matrix product: i, j, then k, no shortcut.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

/// The level bisection of one column of (signed) probabilities, one level after the other, with
/// the column's peak and total of magnitudes taken from the column itself.
std::array<float, 2> columnLevels(const std::vector<float>& column, Coefficients coefficients);

} // namespace quendrix::reference
