#include "colour/ColourRamp.h"

#include "base/NumberText.h"
#include "data/AxisRange.h"

#include <algorithm>
#include <cmath>

namespace quendrix {

ColourPoints defaultColourPoints() {
    return {
        {{0.30f, 0.45f, 0.65f, 0.95f}, {0.15f, 0.30f, 0.45f, 0.65f}, {0.0f, 0.15f, 0.25f, 0.35f}}};
}

ColourPoints greyColourPoints() {
    return {{{0.0f, 0.0f, 0.0f, 0.6f}, {0.0f, 0.0f, 0.0f, 0.6f}, {0.0f, 0.0f, 0.0f, 0.6f}}};
}

double getColourLevel(const ColourPoints& points, int channel, double value) {
    const double x = std::fabs(value);
    const float xs = float(x);
    const auto& b = points[size_t(channel)];
    if (b[0] <= xs && xs < b[1]) {
        // A value a hair below B0 that rounds onto it as a single would give a level below 0,
        // far below it when B0 and B1 are a few singles apart.
        return std::max(0.0, (x - double(b[0])) / (double(b[1]) - double(b[0])) * 255);
    }
    if (b[1] <= xs && xs < b[2]) {
        return 255;
    }
    if (b[2] <= xs && xs < b[3]) {
        return (double(b[3]) - x) / (double(b[3]) - double(b[2])) * 255;
    }
    return 0;
}

Rgb colourOfLevels(double red, double green, double blue) {
    auto whole = [](double level) { return int(roundHalfEven(double(float(level)))); };
    return {whole(red), whole(green), whole(blue)};
}

Rgb rampColour(const ColourPoints& points, double value) {
    return colourOfLevels(getColourLevel(points, 0, value), getColourLevel(points, 1, value),
                          getColourLevel(points, 2, value));
}

std::optional<Rgb> cellColour(const ColourRamp& ramp, float value) {
    const double t = double(ramp.enhancement) * double(std::fabs(value));
    if (float(t) <= ramp.threshold) {
        return std::nullopt;
    }
    return rampColour(ramp.points, t);
}

bool insidePlotWindow(int x, int y) {
    return x >= PlotFirst && x <= PlotLast && y >= PlotFirst && y <= PlotLast;
}

} // namespace quendrix
