#pragma once

#include "colour/ColourRamp.h"
#include "figures/Curves.h"
#include "pipeline/DetailMatrices.h"

#include <QImage>

namespace quendrix::ui {
class FigureScene;
}

namespace quendrix {

/// The calibration chart's display modes: the probability inside the regions, or the regions.
enum class ChartMode { Probability, Confidence };

/// The chart window as designed, in twips: the main figure's side, the section's width and the
/// gap between them. Every rendering of the chart keeps these proportions.
struct ChartDesign {
    static constexpr double FigureSide = 5055;
    static constexpr double SectionWidth = 1375;
    static constexpr double FigureGap = 330;
};

/// The chart's main figure: fine cells 50..450 on a 400 x 400 scale.
inline constexpr GridFrame ChartFrame{FineFirst, FineLast - FineFirst, 400, 400};

/// The enhancement slider's value for the session's enhancement (1.0 = 100 %), 0..200.
int enhancementPercent(const ColourRamp& ramp);

/// What the section and the probability mode make of a fine probability at an enhancement of
/// `percent`: v = p * percent * 200 / 10, in single precision. 100 fills the section's width.
float sectionValue(float prob, int percent);

/// The main figure as 401 x 401 pixels, fine cell (i, j) at pixel (i - 50, 450 - j). The
/// probability mode colours cells inside a region by the ramp (z = v / 100) and leaves the rest
/// white; the confidence mode shows the narrower region pale, the ring around it dark. Null when
/// there is no memory for it.
QImage chartImage(const DetailMatrices& d, ChartMode mode, int percent, const ColourRamp& ramp);

/// Draws the main figure and makes it the scene's persistent picture, so that clearing the
/// curves and the marker never repaints it.
void drawChartFigure(ui::FigureScene& scene, const DetailMatrices& d, ChartMode mode, int percent,
                     const ColourRamp& ramp);

/// How many of the section's 101 dots (h = 0..100) a value fills: those with v > h.
int sectionDots(float v);

/// The section of fine column `column`: for every row a bar of `sectionDots` dots (blue, black
/// in grey scale) on a 101 x 400 scale whose rows line up with the main figure's.
void drawSection(ui::FigureScene& scene, const DetailMatrices& d, int column, int percent,
                 bool greyScale);

/// The colour chart's white limit in percent of full scale: the density level bounding the
/// wider region in `column`, enhanced as the section is.
float colourChartLimit(const DetailMatrices& d, int column, int percent);

/// The ramp from 0 to full scale on a 400 x 1 scale, white up to `limit` percent.
void drawColourChart(ui::FigureScene& scene, const ColourPoints& points, float limit);

/// The section's position on the main figure; none at the figure's edges (0 or 100 %).
void drawSectionMarker(ui::FigureScene& scene, int sectionPercent, bool greyScale);

/// The average curve of the fine matrices in dashes as long on the figure as the main window's.
std::vector<CurvePiece> fineAverageDashes(const DetailMatrices& d);

/// The mode (red, solid) and over it the average (blue, dashed) curves of the fine matrices;
/// black in grey scale.
void drawChartCurves(ui::FigureScene& scene, const DetailMatrices& d, bool average, bool mode,
                     bool greyScale);

} // namespace quendrix
