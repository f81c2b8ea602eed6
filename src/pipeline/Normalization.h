#pragma once

#include "pipeline/StageMatrix.h"

namespace quendrix {

/// Threshold sliders run 0..10 samples.
inline constexpr int MaxThreshold = 10;

/// Weight of one sample in the thresholds, taken at the representative column 25.
struct UnitWeights {
    double horizontal = 0; ///< kernel column sum times the peak of the error density
    double vertical = 0;   ///< error density of one sample summed over one X column
};

/// Computes the unit weights from `Kernel` and `Model`.
UnitWeights unitWeights(const StageMatrix& m);

/// NormH: each Y row of `Smoothed` scaled to sum 1 over X where the row holds at least
/// 1.05 * `threshold` sample weights, 0 elsewhere; with `skip` a plain copy of `Smoothed`.
void normalizeH(StageMatrix& m, const UnitWeights& w, int threshold, bool skip);

/// Prob: each X column of `NormH` scaled to sum 1 over Y where the column of `Smoothed` holds
/// enough weight. Also finds each column's half-probability index and marks that cell by
/// storing its probability negated (row 0 is never marked).
void normalizeV(StageMatrix& m, const UnitWeights& w, int threshold,
                std::array<int, GridSize>& aveIndex);

/// First index at which the running single-precision sum of `values` exceeds half of `total`;
/// 0 when none does.
int halfProbabilityIndex(const float* values, int count, float total);

} // namespace quendrix
