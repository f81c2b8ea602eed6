#include "figures/SessionFigures.h"

#include "figures/ScatterFigure.h"
#include "figures/StageFigures.h"
#include "ui/FigureScene.h"

#include <cmath>

namespace quendrix {

void drawSessionScatter(ui::FigureScene& scene, const CalibrationSession& session, int f, double lo,
                        double hi) {
    const std::optional<DataFile>& file = session.file(f);
    // Fig.2 stays blank while the generated model stands in for file 2.
    if (!file || (f == 1 && session.generatedModel())) {
        scene.fillAll(Qt::white);
        return;
    }
    drawScatter(scene, *file, lo, hi, ScatterStyle{session.state().colour.greyScale});
}

bool drawSessionFittingLine(ui::FigureScene& scene, const CalibrationSession& session, double lo,
                            double hi) {
    // The caption names file 2's own line; without it there is no line to draw.
    if (session.generatedModel() || session.captions().fittingLine.empty()) {
        return false;
    }
    const FileStatistics& stats = session.statistics(1);
    drawFittingLine(scene, stats.slope, stats.intercept, lo, hi, float(std::abs(lo - hi)),
                    ScatterStyle{session.state().colour.greyScale});
    return true;
}

void drawSessionStage(ui::FigureScene& scene, const CalibrationSession& session, int k) {
    const ColourRamp& ramp = session.state().colour;
    const StageMatrix& m = session.matrix();
    const auto figure = StageFigure(k);
    if (figure == StageFigure::Confi) {
        drawConfidenceRegions(scene, m, ramp.greyScale);
    } else if (figure == StageFigure::NormH && session.settings().skip) {
        scene.clear();
    } else {
        drawStageFigure(scene, m, figure,
                        figureFactor(figure, session.rangeWidth(), session.settings().smoothing),
                        ramp);
    }
}

void drawSessionOverlays(ui::FigureScene& scene, const CalibrationSession& session, bool mode,
                         bool average) {
    drawConfidenceOverlays(scene, session.columns(), session.matrix(), mode, average,
                           session.state().colour.greyScale);
}

} // namespace quendrix
