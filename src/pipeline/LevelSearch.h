#pragma once

#include <array>
#include <vector>

namespace quendrix {

/// Confidence coefficients in tenths of a per cent (682 = 68.2 %); 1000 takes whole columns.
struct Coefficients {
    int first = 682;
    int second = 954;
};

/// How many columns the level search takes side by side.
inline constexpr int LevelSearchWidth = 16;

/// Density levels of the two confidence regions for a set of independent columns, by ten
/// rounds of bisection from 0 in steps of peak/2 .. peak/1024: a level drops while the cells
/// strictly above it hold no more than the coefficient's share of the column.
///
/// `values` holds |probabilities| row by row: values[row * columns + column], so that the
/// columns, which do not depend on each other, are searched side by side. Columns whose total
/// is 0 get levels 0.
void searchLevels(const std::vector<float>& values, int rows, int columns,
                  const std::vector<float>& peak, const std::vector<float>& total,
                  Coefficients coefficients, std::vector<std::array<float, 2>>& levels);

/// The same search for one block of `LevelSearchWidth` columns: magnitudes (not negative) row by
/// row, block[row * LevelSearchWidth + lane]; unused lanes hold zeros. Writes the levels of each
/// lane to levels[lane].
void searchBlockLevels(const float* block, int rows, const float* peak, const float* total,
                       Coefficients coefficients, std::array<float, 2>* levels);

} // namespace quendrix
