#pragma once

#include "pipeline/LevelSearch.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quendrix {

/// The confidence analysis of a probability matrix, column by column: each column's mode, its
/// two region levels, and the class of every cell. The grid and the double-resolution matrices
/// share it. Magnitudes are used throughout, so a negative marker counts as its absolute value.
class ColumnAnalysis {
  public:
    /// Analyses `columns` columns of `rows` values; column c starts at first + c * stride. With
    /// `halfIndices` it also finds each column's half-probability index.
    ColumnAnalysis(const float* first, int columns, int rows, std::size_t stride,
                   Coefficients coefficients, bool halfIndices = false);

    /// Row of the column's largest magnitude (the first of equal ones); `NoIndex` when the
    /// column holds nothing.
    int mode(int column) const { return mode_[std::size_t(column)]; }

    /// Levels of region 1 and region 2; both 0 for an empty column.
    std::array<float, 2> levels(int column) const { return levels_[std::size_t(column)]; }

    /// The first row at which the running sum of magnitudes exceeds half the column's total
    /// (both in single precision, in increasing row order); 0 when no row does, `NoIndex` for a
    /// column that holds nothing. Only computed with `halfIndices`.
    int halfIndex(int column) const { return half_[std::size_t(column)]; }

    /// Writes the class of each cell of the column to classes[0 .. rows - 1]: the number of
    /// levels its magnitude lies strictly above, 3 for the mode (never in row 0), at least 1
    /// anywhere with a coefficient of 1000, and 0 throughout an empty column.
    void classify(int column, float* classes) const;

    /// The class classify writes for one cell; 0 for a row outside the column.
    int classOf(int column, int row) const;

    /// The sum of the column's magnitudes in increasing row order, in single precision.
    float total(int column) const { return total_[std::size_t(column)]; }

  private:
    const float* first_;
    int rows_;
    std::size_t stride_;
    bool whole_;
    std::vector<float> total_;
    std::vector<int> mode_;
    std::vector<int> half_;
    std::vector<std::array<float, 2>> levels_;
};

} // namespace quendrix
