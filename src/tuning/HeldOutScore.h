#pragma once

#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

#include <vector>

namespace quendrix {

/// A held-out cell of probability 0, or a pair in a column without a region, counts as this
/// probability in the log score.
inline constexpr double ProbabilityFloor = 1e-6;

/// The held-out pairs of one fold as cells of the grid, grouped by column.
struct FoldCells {
    std::vector<int> columns; ///< distinct grid columns, rising
    std::vector<int> start;   ///< the rows of columns[c] are rows[start[c] .. start[c + 1])
    std::vector<int> rows;    ///< grid rows; -1 off the grid
    int outsideRange = 0;
};

/// The pairs with an X in the range lower..upper, in the cells they are counted in.
FoldCells cellsOf(const std::vector<Measurement>& pairs, const Grid& grid, double lower,
                  double upper);

/// One setting's score on one fold.
struct FoldScore {
    double logSum = 0;
    int atFloor = 0;
    int noRegion = 0;
    int pairs = 0;
    int inNarrow = 0;
    int inWide = 0;
    bool usable = false;
};

/// Looks the fold's held-out cells up in the probabilities, with the classes the confidence
/// stage gives them; only the columns that hold a pair are analysed.
/// `gathered` is room the call may reuse.
FoldScore scoreFold(const StageMatrix& m, const FoldCells& cells, Coefficients coefficients,
                    std::vector<float>& gathered);

} // namespace quendrix
