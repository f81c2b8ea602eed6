#pragma once

#include "base/Result.h"
#include "data/DataFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace quendrix {

/// Number of grid steps per axis; indices 0..250.
inline constexpr int GridSize = 251;
/// Grid indices 25..225 span the axis range; the rest is a margin.
inline constexpr int PlotFirst = 25;
inline constexpr int PlotLast = 225;

/// The calibration grid that a committed axis range defines; both axes share it.
struct Grid {
    float gridMin = 0; ///< value at index 0
    float gridMax = 0; ///< value at index 250
    double gridStep = 0;

    double valueAt(int index) const { return index * gridStep + double(gridMin); }
};

/// Grid of the range lo..hi (index 25 = lo, index 225 = hi). Equal bounds are refused with
/// "Please set valid range."; bounds whose grid does not fit in singles are refused too.
Result<Grid> gridFromRange(double lo, double hi);

/// abs(lo - hi) as a single: the width every colour factor and the generated model use.
float rangeWidth(double lo, double hi);

/// What the axes show for a range box's text: the number the grid is built from, nothing for an
/// empty box.
std::string rangeLabel(std::string_view text);

/// Upper bound proposed for a data maximum: the next multiple of a step chosen by magnitude.
float roundUpBound(float v);

/// Lower bound proposed for a data minimum.
float roundDownBound(float v);

/// Texts proposed for the range boxes from a file's data (lower, upper), or nothing when the
/// file holds no value or would give equal bounds.
struct RangeProposal {
    std::string lower;
    std::string upper;
};
std::optional<RangeProposal> proposeRange(const DataFile& file);

} // namespace quendrix
