#pragma once

#include <QColor>

#include <functional>

namespace quendrix::ui {
class FigureSurface;
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

/// The main window's matrix figures: grid cells 25..225 on a 1875 x 1875 scale.
inline constexpr GridFrame MainFigureFrame{25, 200, 1875, 1875};

/// The values of one matrix column by row index.
using ColumnValues = std::function<const float*(int column)>;

/// A curve through one row index per column (the average): for each column x of first..last,
/// a line to the next column's index when both hold one, a point where only one does.
void drawIndexCurve(ui::FigureSurface& surface, const GridFrame& frame, const int* index, int first,
                    int last, const QColor& colour);

/// The mode curve: as `drawIndexCurve`, but a jump of two or more rows is bridged only when the
/// column with the higher mode climbs to it without a dip; otherwise the two modes belong to
/// separate peaks and stay points.
void drawModeCurve(ui::FigureSurface& surface, const GridFrame& frame, const int* mode, int first,
                   int last, const ColumnValues& column, const QColor& colour);

} // namespace quendrix
