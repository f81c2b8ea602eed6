#include "ui/FigureSurface.h"
#include "ui/FormUnits.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

using quendrix::ui::FigureSurface;

constexpr double kScale = quendrix::ui::MainFigureSide, kCell = kScale / 200;
// At 375 pixels one pixel is 5 units, so pixel k has its centre at 5k + 2.5.
const QSize kSize(375, 375);
const QColor White(Qt::white);

TEST(FigureSurfaceTest, CellsFillTheirFootprintAtAnySizeAndAWholeGridDrawsAsItsCellsOneByOne) {
    FigureSurface oneByOne, whole;
    const double x = 100 * kCell, y = 130 * kCell;
    // A cell already there stays where the grid is transparent and is covered where it is not.
    for (FigureSurface* s : {&oneByOne, &whole}) {
        s->cell(3 * kCell, 4 * kCell, Qt::green);
        s->cell(10 * kCell, 10 * kCell, Qt::green);
        s->cell(x, y, Qt::red);
        s->cell(x + kCell, y, Qt::blue);
    }
    QImage grid(whole.cellGridSize(), QImage::Format_ARGB32);
    ASSERT_EQ(grid.size(), QSize(201, 201));
    grid.fill(Qt::transparent);
    for (int i = 0; i < 200; i += 3) {
        for (int j = 5; j < 120; j += 7) {
            const QColor colour = QColor::fromHsv((i * 7 + j) % 360, 200, 200);
            oneByOne.cell(i * kCell, j * kCell, colour);
            grid.setPixel(whole.cellIndex(i * kCell), whole.cellIndex(j * kCell), colour.rgba());
        }
    }
    oneByOne.cell(200 * kCell, 200 * kCell, Qt::blue);
    grid.setPixel(whole.cellIndex(200 * kCell), whole.cellIndex(200 * kCell), qRgb(0, 0, 255));
    whole.cells(grid);
    for (const auto& [n, dpr] : {std::pair{201, 1.0}, {333, 2.0}, {700, 1.0}}) {
        const QImage image = whole.render(QSize(n, n), dpr);
        EXPECT_EQ(image, oneByOne.render(QSize(n, n), dpr)) << "size " << n << " dpr " << dpr;
        ASSERT_EQ(image.width(), std::lround(n * dpr));
        const double units = kScale / image.width();
        for (int py = int((y - kCell) / units); py <= int((y + 2 * kCell) / units); ++py) {
            for (int px = int((x - 2 * kCell) / units); px <= int((x + 4 * kCell) / units); ++px) {
                // Centres in cells from the red cell's corner; one on an edge may go either way.
                const double u = ((px + 0.5) * units - x) / kCell + 0.5;
                const double v = ((py + 0.5) * units - y) / kCell + 0.5;
                const double du = u - std::floor(u), dv = v - std::floor(v);
                if (std::min({du, 1 - du, dv, 1 - dv}) < 0.02) {
                    continue;
                }
                const QColor expected = v < 0 || v > 1 || u < 0 || u > 2 ? Qt::white
                                        : u < 1                          ? Qt::red
                                                                         : Qt::blue;
                ASSERT_EQ(image.pixelColor(px, py).rgb(), expected.rgb())
                    << "size " << n << " dpr " << dpr << " pixel " << px << "," << py;
            }
        }
    }
}

TEST(FigureSurfaceTest, ClearKeepsThePictureBlankingHidesItAndItemsLandWhereScaled) {
    FigureSurface s;
    s.cell(937.5, 937.5, Qt::green);
    s.makePersistent();
    s.line(0, 937.5, kScale, 937.5, Qt::black);
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::black));
    s.clear();
    EXPECT_EQ(s.colourAt(937.5, 937.5, kSize), QColor(Qt::green));
    // Only a figure with nothing at all in it is painted white without being rendered.
    EXPECT_FALSE(s.scene().blank());
    EXPECT_TRUE(FigureSurface().scene().blank());

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

    // A full-area box replaces what lies below it, so a redraw loop leaves only its last point.
    FigureSurface r;
    for (int i = 0; i < 1000; ++i) {
        r.fillAll(Qt::white);
        r.point(502.5, 502.5, i % 2 == 0 ? Qt::red : Qt::blue);
    }
    EXPECT_EQ(r.itemCount(), 1u);
    EXPECT_EQ(r.colourAt(502.5, 502.5, kSize), QColor(Qt::blue));

    FigureSurface p;
    p.point(502.5, 302.5, Qt::red);
    EXPECT_EQ(p.colourAt(502.5, 302.5, kSize), QColor(Qt::red));
    EXPECT_EQ(p.colourAt(507.5, 302.5, kSize), White);
    p.setDrawWidth(3); // pixels 99..101 of row 100
    p.point(502.5, 502.5, Qt::blue);
    EXPECT_EQ(p.colourAt(497.5, 507.5, kSize), QColor(Qt::blue));
    EXPECT_EQ(p.colourAt(512.5, 502.5, kSize), White);
    p.setDrawWidth(1);
    p.line(1002.5, 0, 1002.5, kScale, Qt::black);
    EXPECT_EQ(p.colourAt(1002.5, 702.5, kSize), QColor(Qt::black));
    EXPECT_EQ(p.colourAt(1007.5, 702.5, kSize), White);
    // Cells lie below the items even when drawn later.
    p.point(937.5, 1402.5, Qt::magenta);
    p.cell(937.5, 1402.5, Qt::green);
    EXPECT_EQ(p.colourAt(937.5, 1402.5, kSize), QColor(Qt::magenta));

    // At 375 x 750 radius 100 is 20 pixels across, 40 down; a run of copied circles and one alone.
    FigureSurface c;
    for (double x : {237.5, 637.5, 1037.5, 1437.5}) {
        c.circle(x, 937.5, 100, Qt::black, Qt::cyan);
    }
    c.circle(937.5, 1537.5, 100, Qt::black, Qt::yellow);
    const QSize tall(375, 750);
    for (const auto& [x, y, fill] : {std::tuple{237.5, 937.5, Qt::cyan},
                                     {1037.5, 937.5, Qt::cyan},
                                     {937.5, 1537.5, Qt::yellow}}) {
        EXPECT_EQ(c.colourAt(x, y + 80, tall), QColor(fill));
        EXPECT_EQ(c.colourAt(x - 80, y, tall), QColor(fill));
        EXPECT_EQ(c.colourAt(x, y + 120, tall), White);
        EXPECT_EQ(c.colourAt(x - 120, y, tall), White);
    }
}

TEST(FigureSurfaceTest, FlatLookKeepsTheFigureInPlaceAndClicksAreReported) {
    FigureSurface s;
    s.resize(200, 200);
    const QRect contents = s.contentsRect();
    s.setFlat(true);
    EXPECT_EQ(s.contentsRect(), contents);

    QSignalSpy clicks(&s, &FigureSurface::clicked);
    QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(50, 50));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(300, 50)); // released outside
    EXPECT_EQ(clicks.count(), 1);
}
