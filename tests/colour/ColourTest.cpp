#include "colour/ColourEditing.h"
#include "colour/ColourRamp.h"
#include "session/ColourChangeProtocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace quendrix;

// A 400 x 60 pixel editor: breakpoint 0.45 at x = 2700, the full line at y = 180, zero at 720.
const EditorScale Scale{6000, 900};

TEST(ColourEditing, DragGrabsWithinReachAndMovesUnclamped) {
    ColourRamp ramp;
    BreakpointDrag drag;
    // Reach is strictly less than 60 units along each axis (blue B0 lies exactly at 0, 720).
    EXPECT_FALSE(drag.press(ramp.points, 2, -60, 720, Scale));
    EXPECT_FALSE(drag.press(ramp.points, 2, 0, 720 + 60, Scale));
    EXPECT_TRUE(drag.press(ramp.points, 2, -59.9, 720 + 59.9, Scale));
    EXPECT_TRUE(drag.grabbed(0) && !drag.grabbed(1));
    EXPECT_FALSE(drag.press(ramp.points, 0, 2700, 720, Scale)); // breakpoint 1 is on the full line
    EXPECT_FALSE(drag.move(ramp, 100, Scale));                  // nothing grabbed moves nothing
    EXPECT_EQ(ramp.points, defaultColourPoints());
    ASSERT_TRUE(drag.press(ramp.points, 0, 2700 + 59, 180 + 59, Scale));
    EXPECT_TRUE(drag.grabbed(1) && !drag.grabbed(0) && !drag.grabbed(2) && !drag.grabbed(3));

    // Past its neighbour B0 (0.30), then beyond the editor's left end; nothing else moves.
    EXPECT_TRUE(drag.move(ramp, 1200, Scale));
    EXPECT_EQ(ramp.points[0][1], 0.2f);
    EXPECT_TRUE(drag.release(ramp, -3000, Scale));
    EXPECT_FALSE(drag.active());
    ColourPoints expected = defaultColourPoints();
    expected[0][1] = -0.5f;
    EXPECT_EQ(ramp.points, expected);
    EXPECT_FALSE(drag.release(ramp, 0, Scale)); // a second release has nothing

    // Coincident points are grabbed together and stay together.
    ramp.points[1] = {0.1f, 0.4f, 0.4f, 0.9f};
    ASSERT_TRUE(drag.press(ramp.points, 1, 2400, 180, Scale));
    EXPECT_TRUE(drag.grabbed(1) && drag.grabbed(2));
    drag.release(ramp, 9000, Scale);
    EXPECT_EQ(ramp.points[1], (std::array<float, 4>{0.1f, 1.5f, 1.5f, 0.9f}));

    // An editor with no width (or a pointer position that is no number) moves nothing.
    ASSERT_TRUE(drag.press(ramp.points, 1, 600, 720, Scale));
    EXPECT_FALSE(drag.move(ramp, 100, EditorScale{0, 900}) || drag.move(ramp, std::nan(""), Scale));
    EXPECT_EQ(ramp.points[1][0], 0.1f);

    // In grey scale red and green follow the grey editor.
    applyGreyScale(ramp);
    ASSERT_TRUE(drag.press(ramp.points, 2, 3600, 720, Scale)); // breakpoint 3 at 0.6
    drag.release(ramp, 4800, Scale);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(ramp.points[size_t(c)], (std::array<float, 4>{0, 0, 0, 0.8f})) << c;
    }
    EXPECT_TRUE(overBreakpoint(ramp.points, 2, 4800 - 59, 720, Scale));
    EXPECT_FALSE(overBreakpoint(ramp.points, 2, 4800 - 60, 720, Scale));
}

TEST(ColourEditing, LabelsPresetsAndKeyboardSteps) {
    // x 100 in single precision, halves to even: 0.015f is 1.5 (2), 0.025f 2.5 (2); doubles differ.
    const std::tuple<float, const char*> labels[] = {
        {0.3f, "30"},   {0.125f, "12"},        {0.135f, "14"},      {0.015f, "2"}, {0.025f, "2"},
        {-0.05f, "-5"}, {-0.004f, "0"},        {-0.125f, "-12"},    {1.5f, "150"}, {0.0f, "0"},
        {0.95f, "95"},  {1e30f, "2147483647"}, {std::nanf(""), "0"}};
    for (const auto& [fraction, text] : labels) {
        EXPECT_EQ(percentText(fraction), text) << fraction;
    }
    EXPECT_EQ(std::pair(thresholdOfPercent(10), thresholdOfPercent(7)), std::pair(0.1f, 0.07f));

    ColourRamp ramp;
    ramp.enhancement = 1.5f;
    applyGreyScale(ramp);
    EXPECT_EQ(std::tuple(ramp.points, ramp.threshold, ramp.greyScale),
              std::tuple(greyColourPoints(), 0.0f, true));
    // A keyboard step in grey scale moves all three channels.
    stepBreakpoint(ramp, 2, 3, -10);
    EXPECT_EQ(std::pair(ramp.points[0][3], ramp.points[1][3]), std::pair(0.5f, 0.5f));
    // The enhancement is the chart window's setting, not the ramp's.
    resetColours(ramp);
    EXPECT_EQ(std::tuple(ramp.points, ramp.threshold, ramp.greyScale, ramp.enhancement),
              std::tuple(defaultColourPoints(), 0.1f, false, 1.5f));

    // Steps start from the label's whole per cent and move one breakpoint alone.
    ramp.points[2][1] = ramp.points[2][2] = 0.305f; // labelled 30
    stepBreakpoint(ramp, 2, 1, 1);
    EXPECT_EQ(std::pair(ramp.points[2][1], ramp.points[2][2]), std::pair(0.31f, 0.305f));
    EXPECT_EQ(ramp.points[0], defaultColourPoints()[0]);
    stepBreakpoint(ramp, 2, 0, -10);
    EXPECT_EQ(ramp.points[2][0], -0.1f);

    // White up to and at the threshold, then the ramp (blue from -0.1 to 0.31: 0.2 / 0.41 * 255).
    EXPECT_EQ(colourBarColour(ramp, 0.1f), (Rgb{255, 255, 255}));
    EXPECT_EQ(colourBarColour(ramp, std::nextafter(0.1f, 1.0f)), (Rgb{0, 0, 124}));
}

TEST(ColourChangeProtocol, EachWindowRedrawsEachChangeOnce) {
    SessionState state;
    ColourChangeProtocol main(ColourFollower::MainWindow), chart(ColourFollower::ChartWindow);
    EXPECT_FALSE(main.activated(state));
    chart.drawn(state); // opening draws everything
    EXPECT_FALSE(chart.activated(state));

    // The chart window first: it redraws once and leaves the flag to the main window.
    markColourChanged(state);
    EXPECT_TRUE(chart.activated(state));
    EXPECT_FALSE(chart.activated(state));
    EXPECT_TRUE(state.colourChanged);
    EXPECT_TRUE(main.activated(state));
    EXPECT_FALSE(state.colourChanged);
    EXPECT_FALSE(main.activated(state));

    // The main window first: the chart window still redraws.
    setEnhancement(state, 150);
    EXPECT_EQ(state.colour.enhancement, 1.5f);
    EXPECT_TRUE(main.activated(state));
    EXPECT_TRUE(chart.activated(state));

    // The activation after the print options dialog keeps the change for the next one.
    markColourChanged(state);
    main.printOptionsShown();
    chart.printOptionsShown();
    EXPECT_TRUE(main.printOptions());
    EXPECT_FALSE(main.activated(state));
    EXPECT_FALSE(chart.activated(state));
    EXPECT_FALSE(main.printOptions());
    EXPECT_TRUE(state.colourChanged);
    EXPECT_TRUE(main.activated(state));
    EXPECT_TRUE(chart.activated(state));

    // A chart window opened after a change has drawn it, but the main window has not.
    setEnhancement(state, 0);
    chart.drawn(state);
    EXPECT_FALSE(chart.activated(state));
    EXPECT_TRUE(main.activated(state));
}

TEST(ColourRamp, RampColoursAndWhatIsDrawn) {
    const ColourPoints d = defaultColourPoints(), g = greyColourPoints();
    ColourPoints p = d;
    p[0] = {0.5f, 0.2f, 0.8f, 0.4f}; // out of order: the first interval that holds wins
    p[1] = {0.3f, 0.3f, 0.3f, 0.3f}; // all equal: every interval empty, no division by zero
    p[2] = {0.2f, 0.2f, 0.5f, 0.5f};
    // Green at 0.2 rises (0.2 - 0.15) / 0.15 * 255 = 85; at 0.5 it falls (0.65 - 0.5) / 0.2 * 255;
    // a value's magnitude is coloured. (0.6f - 0.3) / 0.6f * 255 is a hair above 127.5.
    const std::tuple<const ColourPoints*, double, Rgb> cases[] = {
        {&d, 0, {0, 0, 0}},         {&d, 0.2, {0, 85, 255}}, {&d, 0.45, {255, 255, 0}},
        {&d, -0.5, {255, 191, 0}},  {&d, 0.95, {0, 0, 0}},   {&g, 0, {255, 255, 255}},
        {&g, 0.3, {128, 128, 128}}, {&g, 0.6, {0, 0, 0}},    {&p, 0.3, {255, 0, 255}},
        {&p, 0.5, {255, 0, 0}}};
    for (const auto& [points, value, rgb] : cases) {
        EXPECT_EQ(rampColour(*points, value), rgb) << value;
    }
    // 0.94999997 is the single 0.95f, so it counts as B3 although the double lies below it.
    EXPECT_EQ(getColourLevel(d, 0, 0.94999997), 0.0);
    EXPECT_EQ(colourOfLevels(0.5, 1.5, 254.5), (Rgb{0, 2, 254})); // halves to even
    // Just below B0 but a single on it: no negative level, however few singles B0 and B1 lie apart.
    const float tiny = std::nextafter(0.5f, 1.0f);
    const std::array<float, 4> shape{0.5f, tiny, tiny, std::nextafter(tiny, 1.0f)};
    const ColourPoints steep{shape, shape, shape};
    EXPECT_EQ(rampColour(steep, 0.5 - 1e-9), (Rgb{0, 0, 0}));

    ColourRamp ramp;
    EXPECT_FALSE(cellColour(ramp, -0.1f)); // equal to the threshold
    ramp.enhancement = 2.0f; // 2 |-0.06| > 0.1; only blue has risen: 0.12 / 0.15 * 255 = 204
    EXPECT_EQ(cellColour(ramp, -0.06f), (Rgb{0, 0, 204}));
    // Above the threshold in double, equal to it once rounded to a single: not drawn.
    ramp.enhancement = 1.1f;
    EXPECT_FALSE(cellColour(ramp, 0.1f / 1.1f));

    EXPECT_FALSE(insidePlotWindow(24, 100) || insidePlotWindow(226, 100) ||
                 insidePlotWindow(100, 24) || insidePlotWindow(100, 226));
    EXPECT_TRUE(insidePlotWindow(25, 25) && insidePlotWindow(225, 225));
}
