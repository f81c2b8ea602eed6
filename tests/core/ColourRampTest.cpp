#include "colour/ColourRamp.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quendrix;

TEST(ColourRamp, DefaultRampLevels) {
    const ColourPoints p = defaultColourPoints();
    EXPECT_EQ(rampColour(p, 0.0), (Rgb{0, 0, 0}));
    EXPECT_EQ(getColourLevel(p, 0, 0.45), 255.0); // red B1
    EXPECT_EQ(getColourLevel(p, 0, 0.95), 0.0);   // red B3
    // 0.94999997 is the single 0.95f, so it counts as B3 although the double lies below it.
    EXPECT_EQ(getColourLevel(p, 0, 0.94999997), 0.0);
    EXPECT_EQ(getColourLevel(p, 2, 0.2), 255.0); // blue plateau
    EXPECT_EQ(getColourLevel(p, 1, 0.7), 0.0);
    EXPECT_EQ(getColourLevel(p, 0, 0.2), 0.0);
    // Green rises (0.2 - 0.15) / 0.15 * 255 = 85; at 0.5 it falls (0.65 - 0.5) / 0.2 * 255.
    EXPECT_EQ(rampColour(p, 0.2), (Rgb{0, 85, 255}));
    EXPECT_EQ(rampColour(p, -0.5), (Rgb{255, 191, 0}));
    EXPECT_EQ(colourOfLevels(0.5, 1.5, 254.5), (Rgb{0, 2, 254})); // halves to even
}

TEST(ColourRamp, ThresholdAndEnhancementDecideWhatIsDrawn) {
    ColourRamp ramp;
    EXPECT_FALSE(cellColour(ramp, 0.0f));
    EXPECT_FALSE(cellColour(ramp, 0.06f));
    EXPECT_FALSE(cellColour(ramp, -0.1f)); // equal to the threshold
    EXPECT_EQ(cellColour(ramp, -0.5f), (Rgb{255, 191, 0}));
    ramp.enhancement = 2.0f; // 0.12 > 0.1; only blue has risen: 0.12 / 0.15 * 255 = 204
    EXPECT_EQ(cellColour(ramp, 0.06f), (Rgb{0, 0, 204}));
    // Above the threshold in double, equal to it once rounded to a single: not drawn.
    ramp.enhancement = 1.1f;
    const float v = 0.1f / 1.1f;
    ASSERT_GT(double(1.1f) * double(v), double(0.1f));
    ASSERT_EQ(float(double(1.1f) * double(v)), 0.1f);
    EXPECT_FALSE(cellColour(ramp, v));
}

TEST(ColourRamp, GreyAndOddBreakpoints) {
    const ColourPoints g = greyColourPoints();
    EXPECT_EQ(rampColour(g, 0.0), (Rgb{255, 255, 255}));
    EXPECT_EQ(rampColour(g, 0.6), (Rgb{0, 0, 0}));
    // (0.6f - 0.3) / 0.6f * 255 is a hair above 127.5 because 0.6f > 0.6: all round to 128.
    EXPECT_EQ(rampColour(g, 0.3), (Rgb{128, 128, 128}));

    ColourPoints p = defaultColourPoints();
    p[0] = {0.5f, 0.2f, 0.8f, 0.4f}; // out of order: the first matching test wins
    p[1] = {0.3f, 0.3f, 0.3f, 0.3f}; // all equal: every interval empty
    p[2] = {0.2f, 0.2f, 0.5f, 0.5f};
    EXPECT_EQ(rampColour(p, 0.6), (Rgb{255, 0, 0}));
    EXPECT_EQ(rampColour(p, 0.2), (Rgb{255, 0, 255}));
    for (int step = 0; step <= 100; ++step) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_TRUE(std::isfinite(getColourLevel(p, c, step / 100.0)));
        }
    }
}

TEST(ColourRamp, PlotWindowIs25To225) {
    EXPECT_FALSE(insidePlotWindow(24, 100) || insidePlotWindow(226, 100) ||
                 insidePlotWindow(100, 24) || insidePlotWindow(100, 226));
    EXPECT_TRUE(insidePlotWindow(25, 25) && insidePlotWindow(225, 225));
}
