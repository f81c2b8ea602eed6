#pragma once

#include <QString>

namespace quendrix {

class CalibrationSession;
class ControlPanel;

/// The settings a slider or check box of the control panel holds. Each changes the same way:
/// the session takes the value, the caption beside the control follows, and the stages the
/// setting is used by run again.
enum class Setting {
    Skip,
    Smoothing,
    VerticalThreshold,
    HorizontalThreshold,
    Coefficient1,
    Coefficient2
};

/// Gives a control's new value to the session and writes the caption beside the control.
void takeSetting(CalibrationSession& session, ControlPanel& controls, Setting setting, int value);

/// The caption of a threshold slider: "Threshold: 2 sample(s)".
QString thresholdCaption(int samples);

} // namespace quendrix
