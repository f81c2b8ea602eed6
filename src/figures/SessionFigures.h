#pragma once

#include "session/CalibrationSession.h"

namespace quendrix::ui {
class FigureScene;
}

namespace quendrix {

/// Scatter figure f (0 = Fig.1, 1 = Fig.2) of the session's file in the range lo..hi; nothing
/// but white when the file is missing or the generated model stands in for file 2.
void drawSessionScatter(ui::FigureScene& scene, const CalibrationSession& session, int f, double lo,
                        double hi);

/// File 2's fitting line on Fig.2, when the session has one (not while the generated model
/// stands in for file 2). Returns whether it drew one.
bool drawSessionFittingLine(ui::FigureScene& scene, const CalibrationSession& session, double lo,
                            double hi);

/// Stage figure k (0..5 for Fig.3 .. Fig.8) as its stage draws it: Fig.6 blank when skipped,
/// Fig.8 the regions as the persistent picture that the overlays go on. The regions' stage then
/// masks Fig.7 (`drawMaskedProbability`).
void drawSessionStage(ui::FigureScene& scene, const CalibrationSession& session, int k);

/// The mode and average overlays of Fig.8.
void drawSessionOverlays(ui::FigureScene& scene, const CalibrationSession& session, bool mode,
                         bool average);

} // namespace quendrix
