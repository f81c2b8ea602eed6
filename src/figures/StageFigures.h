#pragma once

#include "colour/ColourRamp.h"
#include "pipeline/StageMatrix.h"

namespace quendrix::ui {
class FigureScene;
}

namespace quendrix {

/// The matrix figures Fig.3 .. Fig.8, index 0..5 of the stage surfaces.
enum class StageFigure { Model, Discrete, Smoothed, NormH, Prob, Confi };

/// The factor a figure's field is multiplied by before it is coloured: Fig.3 and Fig.4
/// rangeWidth / 20, Fig.5 (2.5 / smoothing) * (rangeWidth / 20), Fig.6 and Fig.7 20.
float figureFactor(StageFigure figure, float rangeWidth, int smoothing);

/// The field of `StageMatrix` a figure shows.
Field figureField(StageFigure figure);

/// Grid cell (i, j) of the 25..225 plot window in figure units, with S = ui::MainFigureSide:
/// x = (i - 25) * S / 200, y = (1 - (j - 25) / 200) * S.
double cellX(double i);
double cellY(double j);

/// Fig.3 .. Fig.7 as the stages draw them: white, then every plot-window cell whose enhanced
/// value passes the ramp's threshold in its ramp colour (`Rainbow`).
void drawStageFigure(ui::FigureScene& scene, const StageMatrix& m, StageFigure figure, float factor,
                     const ColourRamp& ramp);

/// Fig.7 masked by the confidence regions (`Susono`): cells inside a region in the ramp colour of
/// |Prob| * 20 * enhancement (no threshold), cells outside white.
void drawMaskedProbability(ui::FigureScene& scene, const StageMatrix& m, const ColourRamp& ramp);

/// Fig.8: white, the wider region in the outer colour and the narrower one in the inner colour
/// (grey shades in grey scale); the result becomes the scene's persistent picture.
void drawConfidenceRegions(ui::FigureScene& scene, const StageMatrix& m, bool greyScale);

/// The average overlay on Fig.8: AveIndex of neighbouring columns joined (blue; black in grey),
/// in dashes, so that drawn over the mode it leaves the mode showing where the two meet.
void drawAverageOverlay(ui::FigureScene& scene, const ColumnResults& columns, bool greyScale);

/// The mode overlay on Fig.8 (red; black in grey): neighbouring modes joined by a line unless the
/// column with the higher mode dips between them.
void drawModeOverlay(ui::FigureScene& scene, const ColumnResults& columns, const StageMatrix& m,
                     bool greyScale);

/// The overlays "Show mode" and "Show ave." select: the mode, then the dashed average over it.
void drawConfidenceOverlays(ui::FigureScene& scene, const ColumnResults& columns,
                            const StageMatrix& m, bool mode, bool average, bool greyScale);

} // namespace quendrix
