#include "figures/ChartFigures.h"
#include "figures/FigureGrid.h"
#include "figures/ReadoutLayout.h"
#include "figures/ScatterFigure.h"
#include "figures/StageFigures.h"
#include "ui/FigureScene.h"
#include "ui/FormUnits.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}

using namespace quendrix;

const QColor White(255, 255, 255), Black(0, 0, 0), Red(255, 0, 0), Blue(0, 0, 255);
const QColor Pale(200, 255, 200), Dark(50, 127, 50);

static QColor rgb(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// The main figure rendered at 802 pixels: a fine cell is two pixels wide.
static QColor fine(const ui::FigureScene& s, int i, int j) {
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
        const QColor expected[] = {White,           ramped(0.02f), ramped(0.005f), ramped(0.0125f),
                                   ramped(0.0125f), White,         ramped(0.01f),  White};
        const std::pair<int, int> cells[] = {{60, 100}, {60, 101}, {60, 102},  {60, 103},
                                             {60, 104}, {60, 105}, {450, 450}, {59, 101}};
        for (size_t k = 0; k < 8; ++k) {
            EXPECT_EQ(fine(s, cells[k].first, cells[k].second), expected[k]) << k;
        }
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
    std::map<QRgb, int> run;
    for (double x = ChartFrame.x(350); x <= ChartFrame.x(420); x += 0.5) {
        ++run[c.colourAt(x, ChartFrame.y(120), size).rgb()];
    }
    EXPECT_GT(run[Red.rgb()], 30);
    EXPECT_GT(run[Blue.rgb()], 30);
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

// At 402 pixels a cell is two pixels wide: one-pixel lines on columns and rows 75, 76 fill pixels.
static QColor at(const ui::FigureScene& s, double x, double y) {
    return s.colourAt(x, y, QSize(402, 402));
}
static QColor cellAt(const ui::FigureScene& s, int i, int j) {
    return at(s, cellX(i), cellY(j));
}

TEST(StageFigures, FactorsScaleEachFieldAndMaskedProbabilityKeepsRegionCellsWithoutThreshold) {
    EXPECT_EQ(figureFactor(StageFigure::Discrete, 30, 5), 1.5f);
    // 2.5 / 7 * 100 / 20 = 25 / 14, rounded once; rounding 2.5 / 7 first gives the next single.
    EXPECT_EQ(figureFactor(StageFigure::Smoothed, 100, 7), float(25.0 / 14));
    EXPECT_EQ(figureFactor(StageFigure::NormH, 100, 5), 20.0f);
    EXPECT_EQ(figureFactor(StageFigure::Prob, 7, 1), 20.0f);

    StageMatrix m;
    m.at(Field::Prob, 100, 100) = 0.0015f; // x 20 x 2 = 0.06, below the threshold
    m.at(Field::Confi, 100, 100) = 1;
    m.at(Field::Prob, 101, 100) = -0.0125f; // 0.5, the marked half-probability cell
    m.at(Field::Confi, 101, 100) = -2;
    m.at(Field::Prob, 102, 100) = 0.02f;                      // 0.8, outside every region
    const ColourRamp ramp{defaultColourPoints(), 0.1f, 2.0f}; // enhanced 200 %
    ui::FigureScene s;
    drawStageFigure(s, m, StageFigure::Prob, 20, ramp);
    ASSERT_NE(cellAt(s, 102, 100), White);
    drawMaskedProbability(s, m, ramp);
    EXPECT_EQ(cellAt(s, 100, 100), QColor(0, 0, 102));   // blue 0.06 / 0.15 of the way up
    EXPECT_EQ(cellAt(s, 101, 100), QColor(255, 191, 0)); // green 0.15 / 0.2 of the way down
    EXPECT_EQ(cellAt(s, 102, 100), White);
}

TEST(StageFigures, RegionsStayAsThePictureWhileTheOverlaysAreClearedAndBothOverlaysShow) {
    StageMatrix m;
    m.at(Field::Confi, 60, 60) = -1; // marked cells keep the colour of their region
    m.at(Field::Confi, 61, 60) = -3;
    ui::FigureScene s;
    drawConfidenceRegions(s, m, false);
    ColumnResults columns;
    columns.aveIndex.fill(NoIndex);
    columns.modeIndex.fill(NoIndex);
    columns.aveIndex[75] = 75;                          // alone between missing columns
    columns.aveIndex[101] = columns.aveIndex[102] = 75; // a run of two
    // Where the mode and the average run together over 40 columns.
    for (int x = 120; x <= 160; ++x) {
        columns.modeIndex[size_t(x)] = columns.aveIndex[size_t(x)] = 90;
    }
    drawConfidenceOverlays(s, columns, m, true, true, false);
    const double joined = (cellX(101) + cellX(102)) / 2;
    EXPECT_EQ(cellAt(s, 75, 75), Blue);
    EXPECT_EQ(at(s, joined, cellY(75)), Blue);
    EXPECT_EQ(at(s, cellX(102), cellY(75) + 100), White); // nothing towards a missing index
    // Along the shared run the average, drawn last, leaves the mode showing.
    std::map<QRgb, int> run;
    for (double x = cellX(120); x <= cellX(160); x += ui::MainFigureSide / 402) {
        ++run[at(s, x, cellY(90)).rgb()];
    }
    EXPECT_GT(run[Red.rgb()], 20);
    EXPECT_GT(run[Blue.rgb()], 20);
    s.clear();
    EXPECT_EQ(at(s, joined, cellY(75)), White);
    EXPECT_EQ(std::pair(cellAt(s, 60, 60), cellAt(s, 61, 60)), std::pair(Dark, Pale));
}

TEST(StageFigures, ModeLineBridgesAJumpOnlyWhereTheHigherColumnClimbsSteadily) {
    const std::array<float, 5> steady{0.1f, 0.2f, 0.2f, 0.3f, 0.4f};
    const std::array<float, 5> dip{0.3f, 0.1f, 0.2f, 0.3f, 0.4f};
    // Modes of columns 75 and 76; |Prob| of rows 75..79 in the higher-mode column, in the other.
    const std::tuple<int, int, std::array<float, 5>, std::array<float, 5>, bool> cases[] = {
        {75, 76, dip, dip, true},     // one step apart: always joined
        {75, 79, steady, dip, true},  // up, column 76 climbs (a flat step is no dip)
        {75, 79, dip, steady, false}, // up, column 76 dips: two peaks
        {79, 75, dip, steady, false}, // down, column 75 dips
    };
    for (const auto& [m0, m1, higherRows, otherRows, line] : cases) {
        SCOPED_TRACE(testing::Message() << m0 << " -> " << m1 << " line " << line);
        const int higher = m1 > m0 ? 76 : 75;
        StageMatrix m;
        for (int k = 0; k < 5; ++k) {
            m.at(Field::Prob, higher, 75 + k) = higherRows[size_t(k)];
            m.at(Field::Prob, 151 - higher, 75 + k) = -otherRows[size_t(k)];
        }
        ColumnResults columns;
        columns.modeIndex.fill(NoIndex);
        columns.modeIndex[75] = m0;
        columns.modeIndex[76] = m1;
        ui::FigureScene s;
        drawModeOverlay(s, columns, m, false);
        EXPECT_TRUE(cellAt(s, 75, m0) == Red && cellAt(s, 76, m1) == Red);
        const QColor middle = at(s, (cellX(75) + cellX(76)) / 2, (cellY(m0) + cellY(m1)) / 2);
        EXPECT_EQ(middle != White, line);
    }
}

TEST(StageFigures, ScatterPointsAndFittingLine) {
    DataFile file;
    file.records = {{0, 0}, {10, 10}, {-9999, 5}};
    ui::FigureScene s;
    drawScatter(s, file, 0, 10, {true});
    EXPECT_EQ(at(s, 10, 1865), Black); // (0, 0): lower left corner, in grey
    drawScatter(s, file, 0, 10, {});
    EXPECT_EQ(at(s, 10, 1865), Blue);
    EXPECT_EQ(at(s, 1865, 10), Blue);  // (10, 10): upper right corner
    EXPECT_EQ(at(s, 50, 1825), White); // beyond the radius of 30
    // y = 2 crosses the range 0..10 at four fifths of the height from the top.
    drawFittingLine(s, 0, 2, 0, 10, 10, {});
    EXPECT_EQ(at(s, 937.5, 1500), Red);
    EXPECT_EQ(at(s, 937.5, 937.5), White);
    drawFittingLine(s, 0, 2, 0, 10, 10, {true});
    EXPECT_EQ(at(s, 937.5, 1500), Black);
    drawFittingLine(s, 0, 5, 0, 10, 0, {}); // no line for a zero range width
    EXPECT_EQ(at(s, 937.5, 937.5), White);

    drawScatter(s, file, -10000, 0, {}); // the marker record is no point at X = -9999
    EXPECT_EQ(at(s, 10, 10), White);
    drawScatter(s, file, 5, 5, {});
    EXPECT_EQ(at(s, 1865, 10), White);
}

TEST(FigureGridTest, ColumnsThatGiveTheLargestSquaresInsideTheArea) {
    const FigureFrame frame{44, 20, 10};
    // Wide: four columns of two rows; nearly square: three columns; tall: two, then one.
    const std::tuple<QSize, int, int> cases[] = {
        {{1132, 744}, 4, 231}, {{620, 590}, 3, 150}, {{300, 900}, 2, 101}, {{150, 1400}, 1, 106}};
    for (const auto& [area, columns, side] : cases) {
        SCOPED_TRACE(columns);
        const FigureGrid grid(area, 8, frame);
        EXPECT_EQ(std::pair(grid.columns(), grid.side()), std::pair(columns, side));
        EXPECT_EQ(grid.box(0).topLeft(), QPoint(0, 0));
        for (int i = 0; i < 8; ++i) {
            const QRect box = grid.box(i);
            EXPECT_EQ(box.size(), QSize(44 + side, side + 40));
            EXPECT_TRUE(QRect({0, 0}, area).contains(box)) << i;
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
