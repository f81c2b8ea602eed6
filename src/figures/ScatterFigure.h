#pragma once

#include "data/DataFile.h"

#include <utility>

namespace quendrix::ui {
class FigureScene;
}

namespace quendrix {

/// Colours of the scatter figures: blue points and a red fitting line, both black in grey scale.
struct ScatterStyle {
    bool greyScale = false;
};

/// The figure coordinate (0..S, S = ui::MainFigureSide, growing with the value) of a data value for
/// the axis range lo..hi, lo != hi; a point (X, Y) is drawn at (p(X), S - p(Y)).
float scatterPosition(float value, double lo, double hi);

/// The fitting line y = slope x + intercept across the whole width of a scatter figure: the
/// figure heights of its ends at x = 0 and x = S, for a range of width rangeWidth != 0.
std::pair<double, double> fittingLineHeights(float slope, float intercept, double lo, double hi,
                                             float rangeWidth);

/// Draws the records of a data file on a scatter figure (scale 0..S both ways) for the axis
/// range lo..hi: white background, a filled circle of radius 30 units per record at
/// ((X - lo) * S / (hi - lo), S - (Y - lo) * S / (hi - lo)). Records outside the range
/// (markers among them) fall outside the surface. Draws only the background when lo == hi.
void drawScatter(ui::FigureScene& scene, const DataFile& file, double lo, double hi,
                 ScatterStyle style);

/// Draws the fitting line y = slope x + intercept across the whole width of a scatter figure.
void drawFittingLine(ui::FigureScene& scene, float slope, float intercept, double lo, double hi,
                     float rangeWidth, ScatterStyle style);

} // namespace quendrix
