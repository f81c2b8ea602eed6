#include "colour/ColourRamp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace quendrix;

TEST(ColourRamp, RampColours) {
    const ColourPoints d = defaultColourPoints(), g = greyColourPoints();
    ColourPoints p = d;
    p[0] = {0.5f, 0.2f, 0.8f, 0.4f}; // out of order: the first interval that holds wins
    p[1] = {0.3f, 0.3f, 0.3f, 0.3f}; // all equal: every interval empty, no division by zero
    p[2] = {0.2f, 0.2f, 0.5f, 0.5f};
    // Green at 0.2 rises (0.2 - 0.15) / 0.15 * 255 = 85; at 0.5 it falls (0.65 - 0.5) / 0.2 * 255;
    // a value's magnitude is coloured. (0.6f - 0.3) / 0.6f * 255 is a hair above 127.5.
    // clang-format off
    const std::tuple<const ColourPoints*, double, Rgb> cases[] = {
        {&d, 0, {0, 0, 0}}, {&d, 0.2, {0, 85, 255}}, {&d, 0.45, {255, 255, 0}},
        {&d, -0.5, {255, 191, 0}}, {&d, 0.95, {0, 0, 0}}, {&g, 0, {255, 255, 255}},
        {&g, 0.3, {128, 128, 128}}, {&g, 0.6, {0, 0, 0}}, {&p, 0.3, {255, 0, 255}},
        {&p, 0.5, {255, 0, 0}}};
    // clang-format on
    for (const auto& [points, value, rgb] : cases) {
        EXPECT_EQ(rampColour(*points, value), rgb) << value;
    }
    // 0.94999997 is the single 0.95f, so it counts as B3 although the double lies below it.
    EXPECT_EQ(getColourLevel(d, 0, 0.94999997), 0.0);
    EXPECT_EQ(colourOfLevels(0.5, 1.5, 254.5), (Rgb{0, 2, 254})); // halves to even
    // A value just below B0 that rounds onto it as a single gives no negative level, however
    // few singles B0 and B1 lie apart.
    const float tiny = std::nextafter(0.5f, 1.0f);
    const std::array<float, 4> shape{0.5f, tiny, tiny, std::nextafter(tiny, 1.0f)};
    const ColourPoints steep{shape, shape, shape};
    EXPECT_EQ(rampColour(steep, 0.5 - 1e-9), (Rgb{0, 0, 0}));
}

TEST(ColourRamp, WhatIsDrawn) {
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
