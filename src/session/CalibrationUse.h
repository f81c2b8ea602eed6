#pragma once

#include "readout/CoverageCheck.h"
#include "readout/Prediction.h"
#include "session/CalibrationSession.h"

#include <vector>

namespace quendrix {

/// The labels the chart's read-out uses: the range boxes and the coefficient captions.
ReadoutLabels readoutLabels(const CalibrationSession& session);

/// The calibration read off at each record's X, as the chart's panel reads it. The detail
/// matrices must be built.
std::vector<Prediction> predictWith(const CalibrationSession& session,
                                    const std::vector<Measurement>& records, bool fullPrecision);

/// The coverage of the confidence regions for X,Y pairs. The detail matrices must be built.
CoverageReport coverageOf(const CalibrationSession& session, const std::vector<Measurement>& pairs);

} // namespace quendrix
