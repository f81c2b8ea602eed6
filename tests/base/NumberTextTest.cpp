#include "base/NumberText.h"

#include "ReferenceNumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

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

// The texts of singles are written digit by digit into a buffer; they must be the texts the rule
// gives (the reference in tests/support, from the C library's conversions), bit pattern by bit
// pattern.
TEST(NumberTextTest, SingleTextsAreThoseOfTheReference) {
    std::vector<std::uint32_t> patterns;
    // A stride through every exponent and fraction, both signs.
    for (std::uint64_t bits = 0; bits <= 0xffffffffu; bits += 2654435761u / 1500) {
        patterns.push_back(std::uint32_t(bits));
    }
    // Every single in windows where the rules turn: around powers of two and of ten (the form
    // changes at 1E-4 and 1E7), where seven digits stop sufficing, the smallest and largest
    // magnitudes, and the probabilities plus classes the output file holds most.
    for (float centre :
         {1.0f, 2.0f, 0.0001f, 1e7f, 8.388608e6f, 1.6777216e7f, 8.589934592e9f, 3.0436f, 2.0276f,
          0.0045268f, 1e-25f, 9.999999e-5f, 1.1754944e-38f, 1e-45f, 3.4028235e38f, 68.2f, 0.5f}) {
        const auto c = std::bit_cast<std::uint32_t>(centre);
        for (std::uint32_t d = 0; d < 12000; ++d) {
            patterns.push_back(c + d - 6000);
        }
    }
    char text[SingleTextCapacity];
    int mismatches = 0;
    for (std::uint32_t bits : patterns) {
        for (std::uint32_t sign : {0u, 0x80000000u}) {
            const float v = std::bit_cast<float>(bits ^ sign);
            const std::string expected = reference::outputNumberText(v);
            const std::string actual(text, writeOutputNumber(text, v));
            if (actual != expected && ++mismatches <= 10) {
                ADD_FAILURE() << std::hex << (bits ^ sign) << ": " << actual << " instead of "
                              << expected;
            }
            if (std::isfinite(v) && actual.size() > SingleTextCapacity) {
                ADD_FAILURE() << actual << " is longer than the room for it";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(patterns.size(), 200000u);
    // The caption form keeps the zero before the point.
    EXPECT_EQ(shortestText(-0.00123f), reference::shortestText(-0.00123f));
    EXPECT_EQ(shortestText(-0.00123f), "-0.00123");
}

// Plain decimals are read at once, the rest the general way; every text must give the bits of the
// reference in tests/support.
TEST(NumberTextTest, NumbersReadAtOnceAreThoseOfTheReference) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "+0.0",
                                      "12.345",
                                      "-.5",
                                      "5.",
                                      "9007199254740992",
                                      "9007199254740993",
                                      "18446744073709551615",
                                      "1234567890123456789",
                                      "12345678901234567890",
                                      "0.0000000000000000000001",
                                      "0.00000000000000000000001",
                                      "1.7976931348623157e308",
                                      "3.4028236e38",
                                      "1e-46",
                                      "12.5 mg",
                                      "12.5mg",
                                      "1 2",
                                      "1.2.3",
                                      "-9999",
                                      "1,5"};
    std::mt19937 e(11);
    const char alphabet[] = "0123456789012345678901234567890123456789...--+eEdD x&";
    for (int k = 0; k < 200000; ++k) {
        std::string text;
        const int length = 1 + int(e() % 24);
        for (int c = 0; c < length; ++c) {
            text += alphabet[e() % (sizeof alphabet - 1)];
        }
        texts.push_back(text);
        // Numbers as data files hold them: digits, a point, more digits.
        texts.push_back(std::to_string(e() % 100000) + "." + std::to_string(e() % 1000000));
    }
    int mismatches = 0;
    for (const std::string& text : texts) {
        const std::optional<double> expected = reference::leadingNumberIfAny(text);
        const std::optional<double> actual = leadingNumberIfAny(text);
        const bool same = expected.has_value() == actual.has_value() &&
                          (!expected || std::bit_cast<std::uint64_t>(*expected) ==
                                            std::bit_cast<std::uint64_t>(*actual));
        if (!same && ++mismatches <= 10) {
            ADD_FAILURE() << "'" << text << "'";
        }
    }
    EXPECT_EQ(mismatches, 0);
}
