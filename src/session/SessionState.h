#pragma once

#include "colour/ColourRamp.h"

#include <cstdint>
#include <string>

namespace quendrix {

/// The settings every window shares, with their start-up values; nothing is kept between runs.
struct SessionState {
    ColourRamp colour;          ///< ramp breakpoints, threshold, Z-axis enhancement, grey scale
    bool colourChanged = false; ///< the main window redraws its matrix figures when next active
    /// Counts colour changes, so that every other window redraws each change once.
    std::uint64_t colourRevision = 0;

    // Print options.
    float dotSize = 6;
    float frameThickness = 3;
    float printZoom = 1.0f;
    float printFontSize = 10;
    std::string printTitle;
};

} // namespace quendrix
