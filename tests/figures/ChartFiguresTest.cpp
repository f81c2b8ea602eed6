#include "figures/ChartFigures.h"
#include "figures/ReadoutLayout.h"
#include "ui/FigureScene.h"

#include <gtest/gtest.h>

#include <memory>

namespace quendrix {
namespace {

const QColor White(255, 255, 255), Black(0, 0, 0), Red(255, 0, 0), Blue(0, 0, 255);
const QColor Pale(200, 255, 200), Dark(50, 127, 50);

QColor rgb(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// The main figure rendered at 802 pixels: a fine cell is two pixels wide.
QColor fine(const ui::FigureScene& s, int i, int j) {
    return s.colourAt(ChartFrame.x(i), ChartFrame.y(j), QSize(802, 802));
}

class ChartFiguresTest : public testing::Test {
  protected:
    void set(int i, int j, float prob, float confi) {
        d->fineProb[size_t(i * FineSize + j)] = prob;
        d->fineConfi[size_t(i * FineSize + j)] = confi;
    }
    std::unique_ptr<DetailMatrices> d = std::make_unique<DetailMatrices>();
    ColourRamp ramp;
};

TEST_F(ChartFiguresTest, BothDisplayModesCellByCellAtEveryEnhancement) {
    // Column 60: classes 0 .. 3 and a negative class; column 450 and row 450 are the far edges.
    set(60, 100, 0.02f, 0);      // outside: white in both modes, whatever its probability
    set(60, 101, 0.02f, 1);      // the ring of the wider region
    set(60, 102, 0.005f, 2);     // the narrower region
    set(60, 103, 0.0125f, 3);    // the mode cell
    set(60, 104, 0.0125f, -2);   // a class is read by its magnitude
    set(60, 105, 0.0125f, 0.9f); // inside the ring for the confidence mode, not for the colours
    set(450, 450, 0.01f, 2);
    ui::FigureScene s;
    for (const int percent : {0, 100, 200}) {
        SCOPED_TRACE(percent);
        drawChartFigure(s, *d, ChartMode::Probability, percent, ramp);
        // z = p * (percent / 100) * 200 / 10, from the single p.
        auto ramped = [&](float p) {
            return rgb(rampColour(ramp.points, double(p) * (percent / 100.0) * 200 / 10));
        };
        EXPECT_EQ(fine(s, 60, 100), White);
        EXPECT_EQ(fine(s, 60, 101), ramped(0.02f));
        EXPECT_EQ(fine(s, 60, 102), ramped(0.005f));
        EXPECT_EQ(fine(s, 60, 103), ramped(0.0125f));
        EXPECT_EQ(fine(s, 60, 104), ramped(0.0125f));
        EXPECT_EQ(fine(s, 60, 105), White);
        EXPECT_EQ(fine(s, 450, 450), ramped(0.01f));
        EXPECT_EQ(fine(s, 59, 101), White);
    }

    drawChartFigure(s, *d, ChartMode::Confidence, 100, ramp);
    const QColor expected[] = {White, Dark, Pale, Pale, Pale, Dark};
    for (int j = 100; j <= 105; ++j) {
        EXPECT_EQ(fine(s, 60, j), expected[j - 100]) << j;
    }
    ramp.greyScale = true;
    drawChartFigure(s, *d, ChartMode::Confidence, 100, ramp);
    EXPECT_EQ(fine(s, 60, 101), QColor(100, 100, 100));
    EXPECT_EQ(fine(s, 60, 102), QColor(200, 200, 200));

    // The figure is the surface's picture: clearing the curves drawn over it keeps it.
    drawSectionMarker(s, 50, false);
    EXPECT_EQ(s.colourAt(200, 10, QSize(802, 802)), Blue);
    s.clear();
    EXPECT_EQ(s.colourAt(200, 10, QSize(802, 802)), White);
    EXPECT_EQ(fine(s, 60, 102), QColor(200, 200, 200));
}

TEST_F(ChartFiguresTest, SectionBarsFollowTheEnhancement) {
    // v = p * percent * 20: the dots h = 0 .. 100 with v > h.
    const std::pair<float, int> dots[] = {{0, 0},       {-1, 0},      {0.5f, 1},  {1, 1},
                                          {1.01f, 2},   {99.5f, 100}, {100, 100}, {100.5f, 101},
                                          {1e30f, 101}, {NAN, 0}};
    for (const auto& [v, n] : dots) {
        EXPECT_EQ(sectionDots(v), n) << v;
    }

    set(200, 100, 0.01f, 0);  // 20 dots at 100 %
    set(200, 300, 0.05f, 0);  // the full width at 200 %
    set(200, 450, 0.001f, 0); // 2 dots at 100 %, on the top row
    ui::FigureScene s;
    const QSize size(202, 800); // two pixels a dot and a row
    auto bar = [&](int row) {
        int n = 0;
        while (n < 101 && s.colourAt(n + 0.5, ChartFrame.y(row), size) == Blue) {
            ++n;
        }
        return n;
    };
    for (const auto& [percent, lengths] : {std::pair{100, std::array{20, 100, 2}},
                                           {200, std::array{40, 101, 4}},
                                           {0, std::array{0, 0, 0}}}) {
        drawSection(s, *d, 200, percent, false);
        EXPECT_EQ((std::array{bar(100), bar(300), bar(450)}), lengths) << percent;
        EXPECT_EQ(bar(101), 0);
    }
    drawSection(s, *d, 200, 100, true);
    EXPECT_EQ(s.colourAt(0.5, ChartFrame.y(100), size), Black);
    drawSection(s, *d, 201, 100, false); // another column
    EXPECT_EQ(bar(100), 0);
}

TEST_F(ChartFiguresTest, ColourChartIsWhiteUpToTheWiderRegionsLevel) {
    d->fineLevel[300][1] = 0.01f; // 20 % of full scale at 100 %
    d->fineLevel[300][0] = 0.04f; // the narrower region's level plays no part
    EXPECT_EQ(colourChartLimit(*d, 300, 100), 20.0f);
    EXPECT_EQ(colourChartLimit(*d, 300, 200), 40.0f);
    ui::FigureScene s;
    const QSize size(802, 4);
    auto at = [&](double p) { return s.colourAt(p * 400, 0.5, size); };
    drawColourChart(s, ramp.points, colourChartLimit(*d, 300, 100));
    EXPECT_EQ(at(0.195), White);
    EXPECT_EQ(at(0.205), rgb(rampColour(ramp.points, 0.205)));
    EXPECT_EQ(at(0.875), rgb(rampColour(ramp.points, 0.875)));
    drawColourChart(s, ramp.points, colourChartLimit(*d, 300, 200));
    EXPECT_EQ(at(0.395), White);
    EXPECT_EQ(at(0.41), rgb(rampColour(ramp.points, 0.41)));
    drawColourChart(s, ramp.points, colourChartLimit(*d, 300, 0));
    EXPECT_EQ(at(0.01), rgb(rampColour(ramp.points, 0.01)));
}

TEST_F(ChartFiguresTest, MarkerAndCurvesOnTheFineGrid) {
    ui::FigureScene s;
    const QSize size(802, 802);
    for (int percent : {0, 100}) {
        drawSectionMarker(s, percent, false);
        EXPECT_EQ(s.itemCount(), 0u) << percent; // nothing at the figure's edges
    }
    drawSectionMarker(s, 37, true);
    EXPECT_EQ(s.colourAt(148, 300, size), Black);
    EXPECT_EQ(s.colourAt(150, 300, size), White);

    d->fineAve.fill(NoIndex);
    d->fineMode.fill(NoIndex);
    d->fineAve[100] = d->fineAve[101] = 200;
    d->fineMode[300] = 250;
    d->fineMode[301] = 254; // a jump over a column that climbs steadily: joined
    for (int r = 250; r <= 254; ++r) {
        d->fineProb[size_t(301 * FineSize + r)] = 0.001f * float(r - 249);
    }
    // Where the two run together, the dashed average leaves the mode showing.
    for (int x = 350; x <= 420; ++x) {
        d->fineMode[size_t(x)] = d->fineAve[size_t(x)] = 120;
    }
    ui::FigureScene c;
    c.setScale(ChartFrame.width, ChartFrame.height);
    drawChartCurves(c, *d, true, true, false);
    EXPECT_EQ(c.colourAt(50.5, ChartFrame.y(200), size), Blue);
    EXPECT_EQ(c.colourAt(250.5, ChartFrame.y(252), size), Red);
    int red = 0, blue = 0;
    for (double x = ChartFrame.x(350); x <= ChartFrame.x(420); x += 0.5) {
        const QColor at = c.colourAt(x, ChartFrame.y(120), size);
        red += at == Red;
        blue += at == Blue;
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(blue, 30);
    ui::FigureScene none;
    drawChartCurves(none, *d, false, false, false);
    EXPECT_EQ(none.itemCount(), 0u);
}

TEST(ReadoutLayout, BracketsMarksAndPanelLines) {
    IntervalReadout r;
    r.intervals[0] = {{100, 200, "a", "b"}};
    r.intervals[1] = {{0, 50, "?", "c"}, {80, 400, "d", "?"}};
    r.bottomOpen[1] = r.topOpen[1] = true;
    r.modeMark = 150;
    r.header1 = "68.2 %";
    r.header2 = "95.4 %";
    r.averageText = " 1.5";
    r.averageInRange = true;
    r.modeText = "Out of range";
    // 400 rows on 400 pixels, one pixel a twip: y(s) = 400 - s, x = offset.
    const SectionFrame frame{0, 0, 400, 1};
    std::vector<std::string> strokes;
    for (const ReadoutStroke& s : readoutStrokes(r, frame)) {
        const QLine l = s.line.toLine();
        strokes.push_back(std::to_string(l.x1()) + "," + std::to_string(l.y1()) + "-" +
                          std::to_string(l.x2()) + "," + std::to_string(l.y2()) +
                          (s.colour == Black ? "" : " " + s.colour.name().toStdString()));
    }
    const std::vector<std::string> expected = {
        // Coefficient 1 at 400 twips: one interval, both ticks reaching 15 past the bracket.
        "350,300-415,300", "400,300-400,185", "350,200-415,200",
        // Coefficient 2 at 205: open at the bottom and at the top, so those ticks are missing.
        "205,400-205,335", "155,350-205,350", "155,320-205,320", "205,320-205,-15",
        // The mode's red mark; no average mark.
        "35,250-500,250 #ff0000"};
    EXPECT_EQ(strokes, expected);

    std::vector<std::string> lines;
    for (const PanelLine& p : panelLayout(r)) {
        lines.push_back(p.text.toStdString() + (p.bold ? "*" : "") + "@" +
                        std::to_string(int(p.x * 4)) + "," + std::to_string(int(p.y * 4)));
    }
    // In quarter lines: headers half a line in, values three quarters; half a line between the
    // groups; a number under "Average" stands at the header's indent, words further in.
    EXPECT_EQ(lines, (std::vector<std::string>{"68.2 %*@2,2", "a - b@3,6", "95.4 %*@2,12",
                                               "? - c@3,16", "d - ?@3,20", "Average*@2,26",
                                               " 1.5@2,30", "Mode*@2,36", "Out of range@3,40"}));
    r.averageText = "Out of range";
    r.averageInRange = false;
    EXPECT_EQ(panelLayout(r)[6].x, 0.75);
}

} // namespace
} // namespace quendrix
