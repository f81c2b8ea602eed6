#include "figures/FigureGrid.h"

#include <gtest/gtest.h>

namespace quendrix {
namespace {

TEST(FigureGridTest, ColumnsThatGiveTheLargestSquaresInsideTheArea) {
    const FigureFrame frame{44, 20, 10};
    // Wide: four columns of two rows; nearly square: three columns; tall: two, then one.
    const std::tuple<QSize, int, int> cases[] = {
        {{1132, 744}, 4, 231}, {{620, 590}, 3, 150}, {{300, 900}, 2, 101}, {{150, 1400}, 1, 106}};
    for (const auto& [area, columns, side] : cases) {
        SCOPED_TRACE(columns);
        const FigureGrid grid(area, 8, frame);
        EXPECT_EQ(grid.columns(), columns);
        EXPECT_EQ(grid.side(), side);
        const QRect inside({0, 0}, area);
        EXPECT_EQ(grid.box(0).topLeft(), QPoint(0, 0));
        for (int i = 0; i < 8; ++i) {
            const QRect box = grid.box(i);
            EXPECT_EQ(box.size(), QSize(44 + side, side + 40));
            EXPECT_TRUE(inside.contains(box)) << i;
            // Reading order, one gap apart.
            if (i % columns != 0) {
                EXPECT_EQ(box.left(), grid.box(i - 1).right() + 1 + 10);
                EXPECT_EQ(box.top(), grid.box(i - 1).top());
            }
        }
    }
    // No room: no surface rather than a negative one.
    EXPECT_EQ(FigureGrid({40, 40}, 8, frame).side(), 0);
}

} // namespace
} // namespace quendrix
