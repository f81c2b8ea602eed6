#pragma once

#include <QRect>
#include <QSize>

namespace quendrix {

/// The room a figure needs around its square surface: a label column on the left (the Y range),
/// a caption line above and a label line below (the X range), and the gap between figures.
struct FigureFrame {
    int labelWidth = 0;
    int lineHeight = 0;
    int spacing = 0;

    QSize boxSize(int side) const { return {labelWidth + side, side + 2 * lineHeight}; }
};

/// A block of figures in reading order from the top left of its area: as many columns as give
/// the largest square surfaces, so that the figures use the room the window gives them.
class FigureGrid {
  public:
    FigureGrid(QSize area, int count, FigureFrame frame);

    int columns() const { return columns_; }
    int rows() const { return (count_ + columns_ - 1) / columns_; }
    /// The side of every surface; 0 when the area is too small for any.
    int side() const { return side_; }
    /// The box of figure `index` (0-based): its labels, caption and surface.
    QRect box(int index) const;

    /// The side `columns` columns would give in `area`.
    static int sideFor(QSize area, int count, int columns, FigureFrame frame);

  private:
    int count_;
    FigureFrame frame_;
    int columns_ = 1;
    int side_ = 0;
};

} // namespace quendrix
