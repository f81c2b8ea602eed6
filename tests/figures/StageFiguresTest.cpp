#include "figures/StageFigures.h"
#include "figures/ScatterFigure.h"
#include "ui/FigureScene.h"
#include "ui/FormUnits.h"

#include <gtest/gtest.h>

#include <map>

void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}

namespace quendrix {
namespace {

const QColor White(255, 255, 255), Black(0, 0, 0), Red(255, 0, 0), Blue(0, 0, 255);

// At 402 pixels a grid cell is two pixels wide; column and row 75 and 76 lie on pixel centres,
// so one-pixel lines and dots drawn there cover whole pixels.
QColor at(const ui::FigureScene& s, double x, double y) {
    return s.colourAt(x, y, QSize(402, 402));
}
QColor cellAt(const ui::FigureScene& s, int i, int j) {
    return at(s, cellX(i), cellY(j));
}

TEST(StageFigures, FactorsScaleEachFieldToTheRamp) {
    EXPECT_EQ(figureFactor(StageFigure::Discrete, 30, 5), 1.5f);
    // 2.5 / 7 * 100 / 20 = 25 / 14, rounded once; rounding 2.5 / 7 first gives the next single.
    EXPECT_EQ(figureFactor(StageFigure::Smoothed, 100, 7), float(25.0 / 14));
    EXPECT_EQ(figureFactor(StageFigure::NormH, 100, 5), 20.0f);
    EXPECT_EQ(figureFactor(StageFigure::Prob, 7, 1), 20.0f);
}

TEST(StageFigures, MaskedProbabilityKeepsOnlyRegionCellsAndHasNoThreshold) {
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
    EXPECT_EQ(cellAt(s, 60, 60), QColor(50, 127, 50));
    EXPECT_EQ(cellAt(s, 61, 60), QColor(200, 255, 200));
}

TEST(StageFigures, ModeLineBridgesAJumpOnlyWhereTheHigherColumnClimbsSteadily) {
    struct Case {
        int m0, m1;
        std::array<float, 5> higher; // |Prob| of rows 75..79 in the column with the higher mode
        std::array<float, 5> other;  // the same rows of the other column
        bool line;
    };
    const std::array<float, 5> steady{0.1f, 0.2f, 0.2f, 0.3f, 0.4f};
    const std::array<float, 5> dip{0.3f, 0.1f, 0.2f, 0.3f, 0.4f};
    const Case cases[] = {
        {75, 76, dip, dip, true},     // one step apart: always joined
        {75, 79, steady, dip, true},  // up, column 76 climbs (a flat step is no dip)
        {75, 79, dip, steady, false}, // up, column 76 dips: two peaks
        {79, 75, dip, steady, false}, // down, column 75 dips
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.m0 << " -> " << c.m1 << " line " << c.line);
        const int higher = c.m1 > c.m0 ? 76 : 75;
        StageMatrix m;
        for (int k = 0; k < 5; ++k) {
            m.at(Field::Prob, higher, 75 + k) = c.higher[size_t(k)];
            m.at(Field::Prob, 151 - higher, 75 + k) = -c.other[size_t(k)];
        }
        ColumnResults columns;
        columns.modeIndex.fill(NoIndex);
        columns.modeIndex[75] = c.m0;
        columns.modeIndex[76] = c.m1;
        ui::FigureScene s;
        drawModeOverlay(s, columns, m, false);
        EXPECT_TRUE(cellAt(s, 75, c.m0) == Red && cellAt(s, 76, c.m1) == Red);
        const QColor middle = at(s, (cellX(75) + cellX(76)) / 2, (cellY(c.m0) + cellY(c.m1)) / 2);
        EXPECT_EQ(middle != White, c.line) << middle.name().toStdString();
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

} // namespace
} // namespace quendrix
