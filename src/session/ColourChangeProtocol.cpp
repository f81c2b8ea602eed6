#include "session/ColourChangeProtocol.h"

namespace quendrix {

void markColourChanged(SessionState& state) {
    state.colourChanged = true;
    ++state.colourRevision;
}

void setEnhancement(SessionState& state, int percent) {
    state.colour.enhancement = float(percent / 100.0);
    markColourChanged(state);
}

void ColourChangeProtocol::drawn(const SessionState& state) {
    drawnRevision_ = state.colourRevision;
}

bool ColourChangeProtocol::activated(SessionState& state) {
    const bool afterPrintOptions = printOptions_;
    printOptions_ = false;
    if (afterPrintOptions) {
        return false;
    }
    // The main window keeps the shared flag; the chart window must not clear it, and tracks the
    // changes it has drawn itself so that it neither misses one the main window has already
    // taken nor redraws the same one twice.
    const bool redraw = window_ == ColourFollower::MainWindow
                            ? state.colourChanged
                            : drawnRevision_ != state.colourRevision;
    if (window_ == ColourFollower::MainWindow) {
        state.colourChanged = false;
    }
    drawnRevision_ = state.colourRevision;
    return redraw;
}

} // namespace quendrix
