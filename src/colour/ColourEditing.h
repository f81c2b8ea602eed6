#pragma once

#include "colour/ColourRamp.h"

#include <array>
#include <string>

namespace quendrix {

/// A channel editor's scale in its own units (15 per pixel). Breakpoint b lies at x = width * b;
/// breakpoints 0 and 3 sit on the zero line y = 0.8 * height, 1 and 2 on the full line
/// y = 0.2 * height (y grows downwards).
struct EditorScale {
    double width = 0;
    double height = 0;
};

/// How near (in editor units, along each axis) the pointer must come to grab a breakpoint.
inline constexpr double GrabDistance = 60;

double breakpointX(const EditorScale& scale, float breakpoint);
double breakpointY(const EditorScale& scale, int k);

/// Whether the pointer at (x, y) can grab breakpoint k of `channel`.
bool withinReach(const ColourPoints& points, int channel, int k, double x, double y,
                 const EditorScale& scale);
/// Whether the pointer at (x, y) can grab any breakpoint of `channel`.
bool overBreakpoint(const ColourPoints& points, int channel, double x, double y,
                    const EditorScale& scale);

/// In grey scale the red and green breakpoints follow the grey (third) editor's.
void followGreyEditor(ColourRamp& ramp);

/// A drag on one channel editor (`PointGrabbed`): every breakpoint within reach of the press is
/// grabbed, so coincident points move together; grabbed points follow the pointer unclamped and
/// may pass their neighbours.
class BreakpointDrag {
  public:
    /// Button pressed on editor `channel`; whether it grabbed anything.
    bool press(const ColourPoints& points, int channel, double x, double y,
               const EditorScale& scale);
    /// Pointer moved to x: the grabbed breakpoints take x / width. Whether any moved.
    bool move(ColourRamp& ramp, double x, const EditorScale& scale) const;
    /// Button released at x: a last move, then nothing stays grabbed. Whether any was grabbed.
    bool release(ColourRamp& ramp, double x, const EditorScale& scale);

    int channel() const { return channel_; }
    bool grabbed(int k) const { return grabbed_[size_t(k)]; }
    bool active() const;

  private:
    int channel_ = 0;
    std::array<bool, 4> grabbed_{};
};

/// A keyboard step: breakpoint k of `channel` moves by `percent` whole per cent from its label's
/// value, alone (so points that were dragged together can be parted again).
void stepBreakpoint(ColourRamp& ramp, int channel, int k, int percent);

/// "Grey scale": every channel 0, 0, 0, 0.6, no threshold.
void applyGreyScale(ColourRamp& ramp);
/// "Reset": the start-up breakpoints, threshold 10 %, colour mode. The enhancement stays.
void resetColours(ColourRamp& ramp);

/// A fraction as the labels show it: times 100 in single precision, rounded halves to even,
/// plain digits ("30", "12" for 0.125, "-5").
std::string percentText(float fraction);
/// The same whole number.
int wholePercent(float fraction);

/// The threshold a slider position (per cent) stands for, as a single.
float thresholdOfPercent(int percent);

/// The colour bar at value v (0 left, 1 right): white up to the threshold, the ramp above it
/// with no gain.
Rgb colourBarColour(const ColourRamp& ramp, float v);

} // namespace quendrix
