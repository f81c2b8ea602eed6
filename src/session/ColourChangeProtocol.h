#pragma once

#include "session/SessionState.h"

#include <cstdint>

namespace quendrix {

/// The windows whose matrix figures follow the colour settings.
enum class ColourFollower {
    MainWindow,  ///< redraws, then clears `colourChanged`
    ChartWindow, ///< redraws and leaves `colourChanged` to the main window
};

/// A colour setting changed (ramp, threshold, grey scale or Z-axis enhancement): every window
/// with matrix figures redraws them once, on its next activation.
void markColourChanged(SessionState& state);

/// The Z-axis enhancement slider stands at `percent`; any move (mouse, keyboard or wheel) is a
/// colour change.
void setEnhancement(SessionState& state, int percent);

/// One window's side of the colour-change protocol: whether an activation redraws its matrix
/// figures. Each window redraws once per change, whichever window it visits first, except on
/// the activation that follows its print options dialog (its hidden "PrintOptions" flag); that
/// change is then redrawn on the activation after.
class ColourChangeProtocol {
  public:
    explicit ColourChangeProtocol(ColourFollower window) : window_(window) {}

    /// The window has just drawn its figures with the current colours (the chart window when
    /// it opens), so its next activation need not.
    void drawn(const SessionState& state);
    /// Set just before the print options dialog is shown from this window.
    void printOptionsShown() { printOptions_ = true; }
    bool printOptions() const { return printOptions_; }
    /// The window became active (or a change was made while it was active): whether it must
    /// redraw its matrix figures now. Clears the "PrintOptions" flag in any case.
    bool activated(SessionState& state);

  private:
    ColourFollower window_;
    bool printOptions_ = false;
    std::uint64_t drawnRevision_ = 0;
};

} // namespace quendrix
