#pragma once

#include "pipeline/Normalization.h"
#include "pipeline/StageMatrix.h"

#include <string>

namespace quendrix {

/// The thresholds a result was computed with.
struct ThresholdSettings {
    int vertical = 2;   ///< samples per Y row, used by the horizontal normalisation
    int horizontal = 2; ///< samples per X column, used by the vertical normalisation
    bool skip = false;  ///< the horizontal normalisation was bypassed
};

/// Why a computed result has no confidence region inside the range, and what would give it one
/// ("no X column in the range holds the 8 sample(s) the horizontal threshold asks for; at 7 or
/// less some do"). Empty when some cell of the range lies in a region.
std::string emptyResultReason(const StageMatrix& m, const UnitWeights& w,
                              const ThresholdSettings& thresholds);

} // namespace quendrix
