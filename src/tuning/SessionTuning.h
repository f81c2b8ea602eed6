#pragma once

#include "session/CalibrationSession.h"
#include "tuning/SettingsSearch.h"

namespace quendrix {

/// The search a session asks for: its file 1, range, error model, coefficients and the
/// settings not searched. Refused, with Start's reasons, where Start could not run.
Result<TuningProblem> tuningProblemOf(const CalibrationSession& session);

/// Gives the session a searched setting: smoothing, thresholds and, with the generated model,
/// its deviation.
Status applyTrial(CalibrationSession& session, const TrialScore& trial);

} // namespace quendrix
