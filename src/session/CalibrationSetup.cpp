#include "session/CalibrationSetup.h"

namespace quendrix {

void applySettings(CalibrationSession& session, const CalibrationSettings& settings) {
    session.setSmoothing(settings.smoothing);
    session.setVerticalThreshold(settings.verticalThreshold);
    session.setHorizontalThreshold(settings.horizontalThreshold);
    session.setSkip(settings.skip);
    if (settings.coefficient1) {
        session.setCoefficientText(0, *settings.coefficient1);
    }
    if (settings.coefficient2) {
        session.setCoefficientText(1, *settings.coefficient2);
    }
}

Status requireCompleteRecord(const CalibrationSession& session) {
    if (session.file(0) && session.file(0)->completeCount != 0) {
        return {};
    }
    return Failure{"no complete record (an X and a Y, neither of them -9999), so there is "
                   "nothing to calibrate"};
}

Status applyRange(CalibrationSession& session, const std::string& lower, const std::string& upper) {
    session.setRangeTexts(lower, upper);
    if (Status st = session.validateRange(); !st) {
        return Failure{"invalid range " + lower + " .. " + upper + ": " + st.reason()};
    }
    return {};
}

Status requireAxisRange(const CalibrationSession& session) {
    if (!session.grid() || session.captions().lowerText.empty() ||
        session.captions().upperText.empty()) {
        return Failure{"no axis range: file 1 proposes none"};
    }
    return {};
}

Status applyGeneratedModel(CalibrationSession& session, int percent) {
    Status st = session.setModelPercent(percent);
    if (st) {
        st = session.setGeneratedModel(true);
    }
    if (!st) {
        return Failure{"error model: " + st.reason()};
    }
    return {};
}

} // namespace quendrix
