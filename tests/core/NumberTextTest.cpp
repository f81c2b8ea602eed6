#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace quendrix;

TEST(NumberTextTest, LeadingNumberTakesTheLongestNumericPrefix) {
    EXPECT_EQ(leadingNumber(" 1 2\t3 "), 123);
    EXPECT_EQ(leadingNumber("- 1 . 5 e 2"), -150);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("-.25"), -0.25);
    EXPECT_EQ(leadingNumber("1.E2"), 100);
    EXPECT_EQ(leadingNumber("1.5d-3"), 0.0015);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("1,5"), 1); // never the locale's decimal comma
    // An exponent mark without digits is not part of the number.
    EXPECT_EQ(leadingNumber("2.5E"), 2.5);
    EXPECT_EQ(leadingNumber("2.5E+"), 2.5);
    EXPECT_EQ(leadingNumber("2.5e-x"), 2.5);
}

TEST(NumberTextTest, LeadingNumberReadsHexOctalAndGivesZeroWithoutANumber) {
    EXPECT_EQ(leadingNumber("&H1F"), 31);
    EXPECT_EQ(leadingNumber(" & h 1 0"), 16);
    EXPECT_EQ(leadingNumber("&O17"), 15);
    EXPECT_EQ(leadingNumber("&o78"), 7);
    for (const char* none : {"", "abc", "-", ".", "E5", "+-5", "&H", "&O9", "&X12"}) {
        EXPECT_EQ(leadingNumber(none), 0) << none;
    }
}

TEST(NumberTextTest, LeadingNumberOverflowGivesInfinity) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(leadingNumber("1E400"), inf);
    EXPECT_EQ(leadingNumber("-1d400"), -inf);
    EXPECT_EQ(leadingNumber(std::string(400, '9')), inf);
    EXPECT_EQ(leadingNumber("1E99999999999999999999"), inf);
    EXPECT_EQ(leadingNumber("1E-400"), 0);
}

TEST(NumberTextTest, ShortestTextOfSinglesAndDoubles) {
    EXPECT_EQ(shortestText(20.0f), "20");
    EXPECT_EQ(shortestText(650.0f), "650");
    EXPECT_EQ(shortestText(1e8f), "1E+08");
    EXPECT_EQ(shortestText(12345678.0f), "1.234568E+07");
    EXPECT_EQ(shortestText(0.00001f), "1E-05");
    EXPECT_EQ(shortestText(0.000123f), "0.000123");
    EXPECT_EQ(shortestText(0.25f), "0.25");
    EXPECT_EQ(shortestText(-0.0f), "0");
    EXPECT_EQ(shortestText(1.0f / 3), "0.3333333");
    EXPECT_EQ(shortestText(0.99999994f), "0.9999999"); // at most seven digits
    EXPECT_EQ(shortestText(0.1 + 0.2), "0.3");
    EXPECT_EQ(shortestText(12345678.0), "12345678");
    EXPECT_EQ(shortestText(123456789012345.0), "123456789012345");
    EXPECT_EQ(shortestText(1e15), "1E+15");
    EXPECT_EQ(shortestText(2.0 / 3), "0.666666666666667");
}

TEST(NumberTextTest, OutputFileFormDropsTheLeadingZero) {
    EXPECT_EQ(outputNumberText(0.5f), ".5");
    EXPECT_EQ(outputNumberText(-0.5f), "-.5");
    EXPECT_EQ(outputNumberText(0.0001f), ".0001");
    EXPECT_EQ(outputNumberText(-0.0f), "0");
    EXPECT_EQ(outputNumberText(0.00001f), "1E-05");
}

TEST(NumberTextTest, RoundingHalvesToEvenOrUp) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(roundHalfEven(-0.125, 2), -0.12);
    EXPECT_EQ(roundHalfUp(0.125, 2), 0.13);
    EXPECT_EQ(roundHalfUp(-0.125, 2), -0.12);
    EXPECT_EQ(roundHalfUp(2.5, 0), 3);
    EXPECT_EQ(roundHalfUp(-2.5, 0), -2);
    // The largest double below one half is not a half.
    EXPECT_EQ(roundHalfUp(0.49999999999999994, 0), 0);
}
