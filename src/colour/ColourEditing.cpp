#include "colour/ColourEditing.h"

#include "base/NumberText.h"

#include <cmath>
#include <limits>

namespace quendrix {

double breakpointX(const EditorScale& scale, float breakpoint) {
    return scale.width * double(breakpoint);
}

double breakpointY(const EditorScale& scale, int k) {
    return (k == 0 || k == 3 ? 0.8 : 0.2) * scale.height;
}

bool withinReach(const ColourPoints& points, int channel, int k, double x, double y,
                 const EditorScale& scale) {
    return std::fabs(x - breakpointX(scale, points[size_t(channel)][size_t(k)])) < GrabDistance &&
           std::fabs(y - breakpointY(scale, k)) < GrabDistance;
}

bool overBreakpoint(const ColourPoints& points, int channel, double x, double y,
                    const EditorScale& scale) {
    for (int k = 0; k < 4; ++k) {
        if (withinReach(points, channel, k, x, y, scale)) {
            return true;
        }
    }
    return false;
}

void followGreyEditor(ColourRamp& ramp) {
    if (ramp.greyScale) {
        ramp.points[0] = ramp.points[2];
        ramp.points[1] = ramp.points[2];
    }
}

bool BreakpointDrag::press(const ColourPoints& points, int channel, double x, double y,
                           const EditorScale& scale) {
    channel_ = channel;
    for (int k = 0; k < 4; ++k) {
        grabbed_[size_t(k)] = withinReach(points, channel, k, x, y, scale);
    }
    return active();
}

bool BreakpointDrag::move(ColourRamp& ramp, double x, const EditorScale& scale) const {
    // An editor with no width has no position to take; x / 0 would make every level NaN.
    if (!active() || !(scale.width > 0) || !std::isfinite(x)) {
        return false;
    }
    const auto b = float(x / scale.width);
    for (int k = 0; k < 4; ++k) {
        if (grabbed_[size_t(k)]) {
            ramp.points[size_t(channel_)][size_t(k)] = b;
        }
    }
    followGreyEditor(ramp);
    return true;
}

bool BreakpointDrag::release(ColourRamp& ramp, double x, const EditorScale& scale) {
    const bool had = active();
    move(ramp, x, scale);
    grabbed_ = {};
    return had;
}

bool BreakpointDrag::active() const {
    return grabbed_[0] || grabbed_[1] || grabbed_[2] || grabbed_[3];
}

void stepBreakpoint(ColourRamp& ramp, int channel, int k, int percent) {
    float& b = ramp.points[size_t(channel)][size_t(k)];
    b = float((double(wholePercent(b)) + percent) / 100);
    followGreyEditor(ramp);
}

void applyGreyScale(ColourRamp& ramp) {
    ramp.points = greyColourPoints();
    ramp.threshold = 0;
    ramp.greyScale = true;
}

void resetColours(ColourRamp& ramp) {
    ramp.points = defaultColourPoints();
    ramp.threshold = thresholdOfPercent(10);
    ramp.greyScale = false;
}

int wholePercent(float fraction) {
    // A breakpoint is a pointer position over the editor's width, so it stays far inside int.
    const double whole = roundHalfEven(double(float(double(fraction) * 100)));
    constexpr double limit = std::numeric_limits<int>::max();
    return std::isnan(whole) ? 0 : int(std::fmax(-limit, std::fmin(limit, whole)));
}

std::string percentText(float fraction) {
    return std::to_string(wholePercent(fraction));
}

float thresholdOfPercent(int percent) {
    return float(percent / 100.0);
}

Rgb colourBarColour(const ColourRamp& ramp, float v) {
    if (v <= ramp.threshold) {
        return {255, 255, 255};
    }
    return rampColour(ramp.points, double(v));
}

} // namespace quendrix
