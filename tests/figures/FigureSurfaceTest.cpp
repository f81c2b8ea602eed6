#include "ui/FigureSurface.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using quendrix::ui::FigureSurface;

namespace {

constexpr double kScale = 1875;
constexpr double kCell = kScale / 200;
// At 375 pixels one pixel is 5 units, so pixel k has its centre at 5k + 2.5.
const QSize kSize(375, 375);

bool isWhite(const QColor& c) {
    return c.rgb() == QColor(Qt::white).rgb();
}

} // namespace

// A pixel shows the cell whose footprint [x - cell/2, x + cell/2] holds the pixel's centre.
TEST(FigureSurfaceTest, CellsFillTheirFootprintAtAnySize) {
    FigureSurface s;
    const double x = 100 * kCell, y = 60 * kCell;
    s.cell(x, y, Qt::red);
    s.cell(x + kCell, y, Qt::blue);
    for (const auto& [n, dpr] : {std::pair{201, 1.0}, {333, 1.0}, {640, 1.0}, {333, 2.0}}) {
        const QImage image = s.render(QSize(n, n), dpr);
        ASSERT_EQ(image.width(), std::lround(n * dpr));
        const double units = kScale / image.width();
        const auto first = [&](double u) { return static_cast<int>(u / units) - 1; };
        for (int py = first(y - kCell); py <= first(y + kCell) + 2; ++py) {
            for (int px = first(x - 2 * kCell); px <= first(x + 3 * kCell) + 2; ++px) {
                // Footprint coordinates of the pixel centre; skip centres right on an edge.
                const double u = ((px + 0.5) * units - x) / kCell + 0.5;
                const double v = ((py + 0.5) * units - y) / kCell + 0.5;
                const double du = u - std::floor(u), dv = v - std::floor(v);
                if (std::min({du, 1 - du, dv, 1 - dv}) < 0.02) {
                    continue;
                }
                const bool inRow = v > 0 && v < 1;
                const QColor expected = !inRow           ? QColor(Qt::white)
                                        : u > 0 && u < 1 ? QColor(Qt::red)
                                        : u > 1 && u < 2 ? QColor(Qt::blue)
                                                         : QColor(Qt::white);
                ASSERT_EQ(image.pixelColor(px, py).rgb(), expected.rgb())
                    << "size " << n << " dpr " << dpr << " pixel " << px << "," << py;
            }
        }
    }
}

TEST(FigureSurfaceTest, ClearKeepsThePictureAndBlankingHidesIt) {
    FigureSurface s;
    s.cell(937.5, 937.5, Qt::green);
    s.makePersistent();
    s.line(0, 937.5, kScale, 937.5, Qt::black);
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::black));
    s.clear();
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::green));
    EXPECT_TRUE(isWhite(s.colourAt(302.5, 937.5, kSize)));

    // A full-area box hides the picture; a plain clear brings it back until it is made persistent.
    s.fillBox(0, 0, kScale, kScale, Qt::yellow);
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::yellow));
    s.clear();
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::green));
    s.fillAll(Qt::yellow);
    s.makePersistent();
    s.clear();
    for (double at : {0.0, 937.5, kScale}) {
        EXPECT_EQ(s.colourAt(at, at, kSize), QColor(Qt::yellow)) << at;
    }
}

TEST(FigureSurfaceTest, ItemsLandAtTheirScaledPositions) {
    FigureSurface s;
    s.point(502.5, 302.5, Qt::red);
    EXPECT_EQ(s.colourAt(502.5, 302.5, kSize), QColor(Qt::red));
    EXPECT_TRUE(isWhite(s.colourAt(507.5, 302.5, kSize)));
    s.setDrawWidth(3); // pixels 99..101 of row 100
    s.point(502.5, 502.5, Qt::blue);
    EXPECT_EQ(s.colourAt(497.5, 507.5, kSize), QColor(Qt::blue));
    EXPECT_TRUE(isWhite(s.colourAt(512.5, 502.5, kSize)));
    s.setDrawWidth(1);
    s.line(1002.5, 0, 1002.5, kScale, Qt::black);
    EXPECT_EQ(s.colourAt(1002.5, 702.5, kSize), QColor(Qt::black));
    EXPECT_TRUE(isWhite(s.colourAt(1007.5, 702.5, kSize)));
    // Cells lie below the items even when drawn later.
    s.point(937.5, 1402.5, Qt::magenta);
    s.cell(937.5, 1402.5, Qt::green);
    EXPECT_EQ(s.colourAt(937.5, 1402.5, kSize), QColor(Qt::magenta));

    // 0.2 pixels per unit across, 0.4 down: a radius of 100 units is 20 and 40 pixels. A run of
    // equal circles (as in a scatter plot) and a single one.
    FigureSurface c;
    std::vector<std::pair<QPointF, QColor>> circles;
    for (double x : {237.5, 637.5, 1037.5, 1437.5}) {
        circles.emplace_back(QPointF(x, 937.5), Qt::cyan);
    }
    circles.emplace_back(QPointF(937.5, 1537.5), Qt::yellow);
    for (const auto& [at, fill] : circles) {
        c.circle(at.x(), at.y(), 100, Qt::black, fill);
    }
    const QSize tall(375, 750);
    for (const auto& [at, fill] : circles) {
        EXPECT_EQ(c.colourAt(at.x(), at.y() + 80, tall), fill);
        EXPECT_EQ(c.colourAt(at.x() - 80, at.y(), tall), fill);
        EXPECT_TRUE(isWhite(c.colourAt(at.x(), at.y() + 120, tall)));
        EXPECT_TRUE(isWhite(c.colourAt(at.x() - 120, at.y(), tall)));
    }
}

TEST(FigureSurfaceTest, RepeatedFullClearsDoNotAccumulate) {
    FigureSurface s;
    for (int i = 0; i < 1000; ++i) {
        s.fillAll(Qt::white);
        s.point(502.5, 502.5, i % 2 == 0 ? Qt::red : Qt::blue);
    }
    EXPECT_EQ(s.itemCount(), 1u);
    EXPECT_EQ(s.colourAt(502.5, 502.5, kSize), QColor(Qt::blue));
}

TEST(FigureSurfaceTest, FlatLookKeepsTheFigureInPlaceAndClicksAreReported) {
    FigureSurface s;
    s.resize(200, 200);
    const QRect contents = s.contentsRect();
    s.setFlat(true);
    EXPECT_TRUE(s.isFlat());
    EXPECT_EQ(s.contentsRect(), contents);

    QSignalSpy clicks(&s, &FigureSurface::clicked);
    QSignalSpy presses(&s, &FigureSurface::pressed);
    QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(50, 50));
    ASSERT_EQ(presses.count(), 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(300, 50)); // released outside
    EXPECT_EQ(clicks.count(), 1);
}
