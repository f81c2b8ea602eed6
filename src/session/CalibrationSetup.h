#pragma once

#include "base/Result.h"
#include "session/CalibrationSession.h"

#include <optional>
#include <string>

namespace quendrix {

// The steps that turn a front end's inputs into a calibration, shared by the batch command and
// the Python module so that both refuse the same inputs with the same reasons.

/// The settings a calibration starts from, as a front end takes them.
struct CalibrationSettings {
    int smoothing = 5;
    int verticalThreshold = 2;
    int horizontalThreshold = 2;
    bool skip = false;
    std::optional<std::string> coefficient1; ///< as typed; none keeps 68.2
    std::optional<std::string> coefficient2;
};

/// Puts the settings into the session, before the files are imported.
void applySettings(CalibrationSession& session, const CalibrationSettings& settings);

/// Refuses a file 1 without a complete record: "no complete record (...), so there is nothing
/// to calibrate".
Status requireCompleteRecord(const CalibrationSession& session);

/// Types the range into the boxes and commits it: "invalid range LO .. HI: why".
Status applyRange(CalibrationSession& session, const std::string& lower, const std::string& upper);

/// Refuses to go on without an axis range (file 1 proposes none when all its values are equal):
/// "no axis range: file 1 proposes none".
Status requireAxisRange(const CalibrationSession& session);

/// The generated error model of this standard deviation in whole % of the range.
Status applyGeneratedModel(CalibrationSession& session, int percent);

} // namespace quendrix
