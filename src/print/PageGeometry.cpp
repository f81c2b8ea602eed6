#include "print/PageGeometry.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace quendrix {

int printerWidth(double dots) {
    // Bounded before the conversion: a huge zoom must not overflow.
    return int(std::clamp(roundHalfEven(dots), 1.0, 1e6));
}

double estimatedTextWidth(const QString& text, double fontSize) {
    return double(text.size()) * fontSize * 10.8;
}

Status checkPrintSettings(const SessionState& state) {
    struct Setting {
        float value;
        const char* label;
        bool zeroGivesPage;
    };
    const Setting settings[] = {{state.printZoom, "Zoom (%)", false},
                                {state.printFontSize, "Font Size", false},
                                {state.dotSize, "Dot Size", true},
                                {state.frameThickness, "Picture Frame Thickness", true}};
    for (const Setting& s : settings) {
        const std::string label = s.label;
        if (!std::isfinite(s.value)) {
            return Failure{label + " is too large"};
        }
        if (s.value < 0 || (s.value == 0 && !s.zeroGivesPage)) {
            return Failure{label +
                           (s.zeroGivesPage ? " must not be negative" : " must be above 0")};
        }
    }
    return {};
}

} // namespace quendrix
