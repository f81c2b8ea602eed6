#pragma once

#include <array>
#include <optional>

namespace quendrix {

/// A colour as whole red, green and blue levels 0..255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

/// Breakpoints of the three channel trapezoids (0 red, 1 green, 2 blue), as fractions of full
/// scale: where a channel starts to rise, reaches 255, starts to fall and is back at 0.
using ColourPoints = std::array<std::array<float, 4>, 3>;

/// The start-up ramp: dark blue through cyan, green, yellow and red to black at 0.95.
ColourPoints defaultColourPoints();

/// The grey-scale ramp: white at 0 falling to black at 0.6.
ColourPoints greyColourPoints();

/// Everything that decides how a matrix value is coloured.
struct ColourRamp {
    ColourPoints points = defaultColourPoints();
    float threshold = 0.1f;   ///< enhanced values at or below it are not drawn
    float enhancement = 1.0f; ///< gain applied before colouring; 1 = 100 %
    bool greyScale = false;
};

/// Level 0..255 of channel `channel` for value `value` (its magnitude is coloured); the first of
/// the half-open intervals [B0,B1), [B1,B2), [B2,B3) that holds decides, so breakpoints out of
/// order never divide by zero.
double getColourLevel(const ColourPoints& points, int channel, double value);

/// The colour of the three levels, each stored as a single and rounded halves to even.
Rgb colourOfLevels(double red, double green, double blue);

/// Ramp colour of a value with no gain and no threshold.
Rgb rampColour(const ColourPoints& points, double value);

/// The colour a figure cell of `value` gets, or nothing when its enhanced magnitude is at or
/// below the threshold; screen figures and the printed page decide alike.
std::optional<Rgb> cellColour(const ColourRamp& ramp, float value);

/// Whether grid cell (x, y) lies in the drawn 25..225 block.
bool insidePlotWindow(int x, int y);

} // namespace quendrix
