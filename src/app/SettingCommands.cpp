#include "app/SettingCommands.h"

#include "app/ClickableLabel.h"
#include "app/ControlPanel.h"
#include "session/CalibrationSession.h"
#include "ui/Text.h"

#include <QLabel>

namespace quendrix {
namespace {

using ui::qs;

struct SettingRule {
    void (*take)(CalibrationSession& session, int value);
    void (*caption)(ControlPanel& controls, const CalibrationSession& session, int value);
};

void noCaption(ControlPanel&, const CalibrationSession&, int) {}

template <int K> void coefficientCaption(ControlPanel& c, const CalibrationSession& s, int) {
    c.coefficients.values[K]->setText(qs(s.captions().coefficient[K]));
}

// In the order of `Setting`.
constexpr SettingRule Rules[] = {
    {[](CalibrationSession& s, int on) { s.setSkip(on != 0); }, noCaption},
    {[](CalibrationSession& s, int level) { s.setSmoothing(level); },
     [](ControlPanel& c, const CalibrationSession& s, int) {
         c.smoothing.value->setText(qs(s.captions().smoothing));
     }},
    {[](CalibrationSession& s, int samples) { s.setVerticalThreshold(samples); },
     [](ControlPanel& c, const CalibrationSession&, int samples) {
         c.thresholds.verticalCaption->setText(thresholdCaption(samples));
     }},
    {[](CalibrationSession& s, int samples) { s.setHorizontalThreshold(samples); },
     [](ControlPanel& c, const CalibrationSession&, int samples) {
         c.thresholds.horizontalCaption->setText(thresholdCaption(samples));
     }},
    {[](CalibrationSession& s, int tenths) { s.setCoefficientSlider(0, tenths); },
     coefficientCaption<0>},
    {[](CalibrationSession& s, int tenths) { s.setCoefficientSlider(1, tenths); },
     coefficientCaption<1>},
};

} // namespace

void takeSetting(CalibrationSession& session, ControlPanel& controls, Setting setting, int value) {
    const SettingRule& rule = Rules[int(setting)];
    rule.take(session, value);
    rule.caption(controls, session, value);
}

QString thresholdCaption(int samples) {
    return QStringLiteral("Threshold: %1 sample(s)").arg(samples);
}

} // namespace quendrix
