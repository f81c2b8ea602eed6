#include "app/StageFigures.h"
#include "data/ScatterFigure.h"
#include "ui/FigureSurface.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name().toStdString();
}

namespace quendrix {
namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

// At 402 pixels a grid cell is two pixels wide; column and row 75 and 76 lie on pixel centres,
// so one-pixel lines and dots drawn there cover whole pixels.
QColor at(const ui::FigureSurface& s, double x, double y) {
    return s.colourAt(x, y, QSize(402, 402));
}
QColor cellAt(const ui::FigureSurface& s, int i, int j) {
    return at(s, cellX(i), cellY(j));
}

ColourRamp greyRamp() {
    return {greyColourPoints(), 0.1f, 1.0f, true};
}

TEST(StageFigures, FactorsScaleEachFieldToTheRamp) {
    EXPECT_EQ(figureFactor(StageFigure::Model, 100, 5), 5.0f);
    EXPECT_EQ(figureFactor(StageFigure::Discrete, 30, 5), 1.5f);
    EXPECT_EQ(figureFactor(StageFigure::Smoothed, 100, 5), 2.5f);
    // 2.5 / 7 * 100 / 20 = 25 / 14, rounded once; rounding 2.5 / 7 first gives the next single.
    EXPECT_EQ(figureFactor(StageFigure::Smoothed, 100, 7), float(25.0 / 14));
    EXPECT_EQ(figureFactor(StageFigure::NormH, 100, 5), 20.0f);
    EXPECT_EQ(figureFactor(StageFigure::Prob, 7, 1), 20.0f);
}

TEST(StageFigures, StageCellsAboveTheThresholdTakeTheirRampColour) {
    // Range width 100, smoothing 5: each `high` value becomes 0.2 (red 0, green a third of the
    // way up from 0.15 to 0.30, blue on its plateau), each `low` 0.05, at the threshold 0.1.
    struct Case {
        StageFigure figure;
        Field field;
        float low, high;
    };
    const Case cases[] = {{StageFigure::Model, Field::Model, 0.01f, 0.04f},
                          {StageFigure::Discrete, Field::Discrete, 0.01f, 0.04f},
                          {StageFigure::Smoothed, Field::Smoothed, 0.02f, 0.08f},
                          {StageFigure::NormH, Field::NormH, 0.0025f, 0.01f},
                          {StageFigure::Prob, Field::Prob, -0.0025f, -0.01f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.figure));
        StageMatrix m;
        m.at(c.field, 100, 120) = c.high;
        m.at(c.field, 130, 90) = c.low;
        ui::FigureSurface s;
        drawStageFigure(s, m, c.figure, figureFactor(c.figure, 100, 5), ColourRamp{});
        EXPECT_EQ(cellAt(s, 100, 120), QColor(0, 85, 255));
        EXPECT_EQ(cellAt(s, 130, 90), White);
    }
    // Grey ramp: 0.45 is a quarter of the way from 0.6 down to 0; 0.05 would be light grey.
    StageMatrix m;
    m.at(Field::Model, 100, 120) = 0.09f;
    m.at(Field::Model, 130, 90) = 0.01f;
    ui::FigureSurface s;
    drawStageFigure(s, m, StageFigure::Model, 5, greyRamp());
    EXPECT_EQ(cellAt(s, 100, 120), QColor(64, 64, 64));
    EXPECT_EQ(cellAt(s, 130, 90), White);
}

TEST(StageFigures, MaskedProbabilityKeepsOnlyRegionCellsAndHasNoThreshold) {
    StageMatrix m;
    m.at(Field::Prob, 100, 100) = 0.0015f; // x 20 x 2 = 0.06, below the threshold
    m.at(Field::Confi, 100, 100) = 1;
    m.at(Field::Prob, 101, 100) = -0.0125f; // 0.5, the marked half-probability cell
    m.at(Field::Confi, 101, 100) = -2;
    m.at(Field::Prob, 102, 100) = 0.02f; // 0.8, outside every region
    ColourRamp ramp;
    ramp.enhancement = 2;
    ui::FigureSurface s;
    drawStageFigure(s, m, StageFigure::Prob, 20, ramp);
    ASSERT_NE(cellAt(s, 102, 100), White);
    drawMaskedProbability(s, m, ramp);
    EXPECT_EQ(cellAt(s, 100, 100), QColor(0, 0, 102));   // blue 0.06 / 0.15 of the way up
    EXPECT_EQ(cellAt(s, 101, 100), QColor(255, 191, 0)); // green 0.15 / 0.2 of the way down
    EXPECT_EQ(cellAt(s, 102, 100), White);

    m.at(Field::Prob, 101, 100) = 0.0225f; // 0.45 with gain 1
    drawMaskedProbability(s, m, greyRamp());
    EXPECT_EQ(cellAt(s, 101, 100), QColor(64, 64, 64));
    EXPECT_EQ(cellAt(s, 102, 100), White);
}

TEST(StageFigures, RegionsStayAsThePictureWhileTheAverageOverlayIsCleared) {
    for (bool grey : {false, true}) {
        SCOPED_TRACE(grey);
        const QColor inner = grey ? QColor(200, 200, 200) : QColor(200, 255, 200);
        const QColor outer = grey ? QColor(100, 100, 100) : QColor(50, 127, 50);
        StageMatrix m;
        m.at(Field::Confi, 60, 60) = 1;
        m.at(Field::Confi, 61, 60) = 2;
        m.at(Field::Confi, 62, 60) = -3; // the mode, also the half-probability cell
        m.at(Field::Confi, 63, 60) = -1;
        ui::FigureSurface s;
        drawConfidenceRegions(s, m, grey);
        EXPECT_EQ(cellAt(s, 60, 60), outer);
        EXPECT_EQ(cellAt(s, 61, 60), inner);
        EXPECT_EQ(cellAt(s, 62, 60), inner);
        EXPECT_EQ(cellAt(s, 63, 60), outer);
        EXPECT_EQ(cellAt(s, 64, 60), White);

        ColumnResults columns;
        columns.aveIndex.fill(NoIndex);
        columns.aveIndex[75] = 75;                          // alone between missing columns
        columns.aveIndex[100] = columns.aveIndex[101] = 75; // a run of two
        drawAverageOverlay(s, columns, grey);
        const QColor ink = grey ? Black : Blue;
        const double joined = (cellX(100) + cellX(101)) / 2;
        EXPECT_EQ(cellAt(s, 75, 75), ink);
        EXPECT_EQ(at(s, joined, cellY(75)), ink);
        EXPECT_EQ(at(s, cellX(101), cellY(75) + 100), White); // nothing towards a missing index
        s.clear();
        EXPECT_EQ(at(s, joined, cellY(75)), White);
        EXPECT_EQ(cellAt(s, 75, 75), White);
        EXPECT_EQ(cellAt(s, 60, 60), outer);
        EXPECT_EQ(cellAt(s, 61, 60), inner);
    }
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
        {79, 75, steady, dip, true},  // down, column 75 climbs
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
        ui::FigureSurface s;
        s.fillAll(White);
        drawModeOverlay(s, columns, m, false);
        EXPECT_EQ(cellAt(s, 75, c.m0), Red);
        EXPECT_EQ(cellAt(s, 76, c.m1), Red);
        const QColor middle = at(s, (cellX(75) + cellX(76)) / 2, (cellY(c.m0) + cellY(c.m1)) / 2);
        EXPECT_EQ(middle != White, c.line) << middle.name().toStdString();
        drawModeOverlay(s, columns, m, true);
        EXPECT_EQ(cellAt(s, 75, c.m0), Black);
    }
}

TEST(StageFigures, ScatterPointsAndFittingLine) {
    DataFile file;
    file.records = {{0, 0}, {10, 10}, {-9999, 5}};
    ui::FigureSurface s;
    drawScatter(s, file, 0, 10, {});
    EXPECT_EQ(at(s, 10, 1865), Blue); // (0, 0): lower left corner
    EXPECT_EQ(at(s, 1865, 10), Blue); // (10, 10): upper right corner
    EXPECT_EQ(at(s, 10, 10), White);
    EXPECT_EQ(at(s, 1865, 1865), White);
    EXPECT_EQ(at(s, 50, 1825), White); // beyond the radius of 30
    // y = 2 crosses the range 0..10 at four fifths of the height from the top.
    drawFittingLine(s, 0, 2, 0, 10, 10, {});
    EXPECT_EQ(at(s, 937.5, 1500), Red);
    EXPECT_EQ(at(s, 937.5, 937.5), White);

    drawScatter(s, file, -10000, 0, {true}); // the marker record is no point at X = -9999
    EXPECT_EQ(at(s, 10, 10), White);
    drawScatter(s, file, 0, 10, {true});
    EXPECT_EQ(at(s, 10, 1865), Black);
    drawFittingLine(s, 0, 2, 0, 10, 10, {true});
    EXPECT_EQ(at(s, 937.5, 1500), Black);
    drawFittingLine(s, 0, 5, 0, 10, 0, {});
    EXPECT_EQ(at(s, 937.5, 937.5), White);

    drawScatter(s, file, 5, 5, {});
    EXPECT_EQ(at(s, 1865, 10), White);
}

} // namespace
} // namespace quendrix
