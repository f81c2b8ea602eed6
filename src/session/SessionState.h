#pragma once

#include "colour/ColourRamp.h"

#include <string>

namespace quendrix {

/// The settings every window shares, with their start-up values; nothing is kept between runs.
struct SessionState {
    ColourRamp colour;          ///< ramp breakpoints, threshold, Z-axis enhancement, grey scale
    bool colourChanged = false; ///< windows with matrix figures redraw on their next activation

    // Print options.
    float dotSize = 6;
    float frameThickness = 3;
    float printZoom = 1.0f;
    float printFontSize = 10;
    std::string printTitle;
};

} // namespace quendrix
