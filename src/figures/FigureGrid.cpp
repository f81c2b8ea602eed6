#include "figures/FigureGrid.h"

#include <algorithm>

namespace quendrix {

int FigureGrid::sideFor(QSize area, int count, int columns, FigureFrame frame) {
    const int rows = (count + columns - 1) / columns;
    const int across = (area.width() - (columns - 1) * frame.spacing) / columns - frame.labelWidth;
    const int down = (area.height() - (rows - 1) * frame.spacing) / rows - 2 * frame.lineHeight;
    return std::max(0, std::min(across, down));
}

FigureGrid::FigureGrid(QSize area, int count, FigureFrame frame)
    : count_(std::max(count, 1)), frame_(frame) {
    // More columns win a tie: the block then keeps the window's usual landscape shape.
    for (int columns = 1; columns <= count_; ++columns) {
        const int side = sideFor(area, count_, columns, frame);
        if (side >= side_) {
            side_ = side;
            columns_ = columns;
        }
    }
}

QRect FigureGrid::box(int index) const {
    const QSize size = frame_.boxSize(side_);
    return {(index % columns_) * (size.width() + frame_.spacing),
            (index / columns_) * (size.height() + frame_.spacing), size.width(), size.height()};
}

} // namespace quendrix
