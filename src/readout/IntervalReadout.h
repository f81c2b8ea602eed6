#pragma once

#include "pipeline/DetailMatrices.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quendrix {

/// The read-out numbers: 2 decimals below 10, 1 below 1000, whole above, halves up.
std::string formatReading(double x);

/// The chart window's section column for a section slider value 0..100.
int sectionColumn(int sectionPercent);

/// One Y interval of a confidence region in the section column, as row offsets 0..400.
struct ReadoutInterval {
    int start = 0;
    int end = 0;
    std::string low;  ///< "?" when the region runs on below the shown range
    std::string high; ///< "?" when the region runs on above it
    bool runsOnBelow = false;
    bool runsOnAbove = false;
};

/// Everything the interval panel of the calibration chart shows for one section, as data.
struct IntervalReadout {
    static constexpr int MaxIntervals = 11;

    std::array<std::vector<ReadoutInterval>, 2> intervals; ///< coefficient 1, coefficient 2
    std::array<bool, 2> bottomOpen{};
    std::array<bool, 2> topOpen{};
    std::optional<int> modeMark;    ///< row offset of the red mode mark
    std::optional<int> averageMark; ///< row offset of the blue average mark
    std::string header1;            ///< "68.2 %"
    std::string header2;
    bool averageInRange = false; ///< false where the texts say "Out of range"
    bool modeInRange = false;
    std::string averageText; ///< " 12.34", "-3.5" or "Out of range"
    std::string modeText;    ///< the mode value or "Out of range"

    /// The panel's lines from top to bottom.
    std::vector<std::string> panelLines() const;
};

/// Reads off the section column: the intervals of both regions (classes >= 2 and >= 1), the
/// mode and the average. `lowerText`/`upperText` are the range texts that label the axis,
/// `coefficient1Text`/`coefficient2Text` the coefficient captions.
IntervalReadout readIntervals(const DetailMatrices& d, int column, const std::string& lowerText,
                              const std::string& upperText, const std::string& coefficient1Text,
                              const std::string& coefficient2Text);

} // namespace quendrix
