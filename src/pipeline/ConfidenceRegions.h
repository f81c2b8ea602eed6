#pragma once

#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

namespace quendrix {

/// Per X column of `Prob`: the mode, the half-probability index read back from its marker,
/// the two region levels, and each cell's class in `Confi` (0 outside, 1 in the wider region
/// only, 2 in both, 3 the mode; the half-probability cell holds minus its class). Empty
/// columns get `NoIndex`. With a coefficient of 1000 every class-0 cell of a non-empty column
/// becomes 1 before the marker's negation, so the marked cell stays negative.
void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns);

/// Whether coefficient 1 (in %) made the narrower region, classes 2 and 3: the classes count
/// levels, so the narrower region is the smaller coefficient's, coefficient 1's on a tie.
inline bool firstCoefficientIsNarrower(double coefficient1, double coefficient2) {
    return coefficient1 <= coefficient2;
}

} // namespace quendrix
