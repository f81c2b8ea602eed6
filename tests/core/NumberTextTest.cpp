#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

using namespace quendrix;

TEST(NumberTextTest, LeadingNumberRule) {
    const double inf = std::numeric_limits<double>::infinity();
    // Blanks anywhere are ignored; an exponent mark without digits is not part of the number;
    // never the locale's decimal comma; no number gives 0; decimal overflow gives an infinity.
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {" 1 2\t3 ", 123}, {"- 1 . 5 e 2", -150}, {"-.25", -0.25}, {"1.E2", 100}, {"1.5d-3", .0015},
        {"12abc", 12}, {"1,5", 1}, {"2.5E", 2.5}, {"2.5e-x", 2.5}, {"&H1F", 31}, {" & h 1 0", 16},
        {"&O17", 15}, {"&o78", 7}, {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"E5", 0}, {"+-5", 0},
        {"&H", 0}, {"&O9", 0}, {"&X12", 0}, {"1E400", inf}, {"-1d400", -inf}, {"1E-400", 0},
        {"1E99999999999999999999", inf}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(leadingNumber(text), value) << text;
    }
    // Only a text without any number has no value; a written zero has one.
    for (const char* none : {"", "abc", "-", ".", "E5", "&H", "&O9", "&X12", "\x01\x02"}) {
        EXPECT_FALSE(leadingNumberIfAny(none)) << none;
    }
    for (const char* zero : {"0", "-0", ".0", "&H0", "0abc"}) {
        EXPECT_EQ(leadingNumberIfAny(zero), 0.0) << zero;
    }
}

TEST(NumberTextTest, PlainNumbersAreTheWholeText) {
    const std::pair<const char*, double> numbers[] = {
        {"68.2", 68.2}, {" -5 ", -5}, {"+.5", .5}, {"5.", 5}, {"1e3", 1000}, {"2.5E-1", .25}};
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(plainNumber(text), value) << text;
    }
    for (const char* text : {"", " ", "abc", "nan", "inf", "0,5", "12abc", "1 2", "1e", "1e+", ".",
                             "-", "&H1F", "1D3", "1e400", "--1"}) {
        EXPECT_FALSE(plainNumber(text)) << text;
    }
}

TEST(NumberTextTest, ShortestTexts) {
    // At most 7 (15) significant digits; exponent form below 1E-4 and from 1E7 (1E15) on. The
    // output file drops the zero before the decimal point.
    // clang-format off
    const std::tuple<float, const char*, const char*> singles[] = {
        {20, "20", "20"}, {650, "650", "650"}, {1e8f, "1E+08", "1E+08"},
        {12345678, "1.234568E+07", "1.234568E+07"}, {1e-5f, "1E-05", "1E-05"},
        {0.0001f, "0.0001", ".0001"}, {-0.5f, "-0.5", "-.5"}, {-0.0f, "0", "0"},
        {0.99999994f, "0.9999999", ".9999999"}};
    const std::pair<double, const char*> doubles[] = {
        {0.1 + 0.2, "0.3"}, {123456789012345, "123456789012345"}, {1e15, "1E+15"}};
    // clang-format on
    for (const auto& [value, caption, file] : singles) {
        EXPECT_EQ(shortestText(value), caption);
        EXPECT_EQ(outputNumberText(value), file);
    }
    for (const auto& [value, text] : doubles) {
        EXPECT_EQ(shortestText(value), text);
    }
}

TEST(NumberTextTest, RoundingHalvesToEvenOrUp) {
    // value, decimals, halves to even, halves up (toward +infinity); the largest double below
    // one half is not a half.
    // clang-format off
    const std::tuple<double, int, double, double> cases[] = {
        {0.5, 0, 0, 1}, {-2.5, 0, -2, -2}, {0.125, 2, 0.12, 0.13}, {-0.125, 2, -0.12, -0.12},
        {0.49999999999999994, 0, 0, 0}};
    // clang-format on
    for (const auto& [value, decimals, even, up] : cases) {
        EXPECT_EQ(roundHalfEven(value, decimals), even) << value;
        EXPECT_EQ(roundHalfUp(value, decimals), up) << value;
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
}
