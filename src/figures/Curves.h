#pragma once

#include "ui/FormUnits.h"

#include <QColor>

#include <functional>
#include <vector>

namespace quendrix::ui {
class FigureScene;
}

namespace quendrix {

/// Where the indices of a matrix figure land on its surface: index `first` on the left or bottom
/// edge, `first + span` on the right or top edge of a `width` x `height` scale. Positions are
/// singles, as every figure coordinate.
struct GridFrame {
    double first;
    double span;
    double width;
    double height;

    double x(double i) const { return double(float((i - first) * width / span)); }
    double y(double j) const { return double(float((1 - (j - first) / span) * height)); }
};

/// The main window's matrix figures: grid cells 25..225 on a square of ui::MainFigureSide.
inline constexpr GridFrame MainFigureFrame{25, 200, ui::MainFigureSide, ui::MainFigureSide};

/// One piece of a curve through per-column row indices: a line from column x to column x + 1,
/// or a lone point where a neighbour has no value. Screens and printed pages draw the same
/// pieces, each in its own units.
struct CurvePiece {
    int x1, y1, x2, y2;
    bool line; ///< false: a point at (x1, y1)
    bool operator==(const CurvePiece&) const = default;
};

/// The magnitude of the probability in column x, row y.
using ColumnProbability = std::function<float(int x, int y)>;

/// The average curve over columns first..last (each joined to the next; `rows` must hold
/// last + 1): neighbouring rows joined by a line, a row whose neighbour has none (`NoIndex`)
/// as a point.
std::vector<CurvePiece> averageCurve(const int* rows, int first, int last);

/// The mode curve: as the average curve, but a jump of two or more rows is joined only when the
/// column with the higher mode rises to it without a dip; otherwise both modes are points, as
/// they belong to separate peaks.
std::vector<CurvePiece> modeCurve(const int* rows, int first, int last,
                                  const ColumnProbability& probability);

/// Where the mode and the average run together the average, drawn last, would hide the mode;
/// drawn in dashes over the solid mode, both show. A dash spans `AverageDash` columns of the
/// main grid (twice as many fine columns, the same length on the figure), a gap as many.
inline constexpr int AverageDash = 2;

/// Whether column x lies in a dash of `columns` columns, dashes and gaps counted from `first`.
bool inDash(int x, int first, int columns);

/// `pieces` broken into dashes: the lines that start in a gap are left out. Lone points stay, as
/// each marks a column of its own.
std::vector<CurvePiece> dashes(const std::vector<CurvePiece>& pieces, int first, int columns);

/// Draws `pieces` one unit wide on `scene`, placed by `frame`.
void drawCurve(ui::FigureScene& scene, const GridFrame& frame,
               const std::vector<CurvePiece>& pieces, const QColor& colour);

} // namespace quendrix
