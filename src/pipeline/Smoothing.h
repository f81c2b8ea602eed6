#pragma once

#include "pipeline/StageMatrix.h"

namespace quendrix {

/// Smoothing levels the slider offers, in % of the axis range.
inline constexpr int MinSmoothing = 1;
inline constexpr int MaxSmoothing = 25;

/// The triangular kernel of half-width `level` grid steps: 0.5 on the diagonal, falling to 0 at
/// |i - k| = level; not normalised.
void buildKernel(StageMatrix& m, int level);

/// Smoothed = Kernel x Discrete, the kernel built for `level` (1..25).
void smoothing(StageMatrix& m, int level);

} // namespace quendrix
