#include "base/NumberText.h"
#include "base/Result.h"

#include "ReferenceNumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace quendrix;

// The forms that the random texts compared with the reference below leave out.
TEST(NumberTextTest, LeadingNumberRulePlainNumbersAndRounding) {
    const double inf = std::numeric_limits<double>::infinity();
    // A tab is a blank; hex and octal; no number gives none; overflow gives infinity, underflow 0.
    // clang-format off
    const std::pair<const char*, std::optional<double>> cases[] = {
        {" 1 2\t3 ", 123}, {"&H1F", 31}, {" & h 1 0", 16}, {"&O17", 15}, {"&o78", 7}, {"&H0", 0},
        {"&H", {}}, {"&O9", {}}, {"&X12", {}}, {"\x01\x02", {}}, {"1E400", inf}, {"-1d400", -inf},
        {"1E-400", 0}, {"1E99999999999999999999", inf}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(leadingNumberIfAny(text), value) << text;
    }
    EXPECT_EQ(leadingNumber("&H"), 0);

    const std::pair<const char*, double> numbers[] = {
        {"68.2", 68.2}, {" -5 ", -5}, {"+.5", .5}, {"5.", 5}, {"1e3", 1000}, {"2.5E-1", .25}};
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(plainNumber(text), value) << text;
    }
    for (const char* text : {"", " ", "abc", "nan", "inf", "0,5", "12abc", "1 2", "1e", "1e+", ".",
                             "-", "&H1F", "1D3", "1e400", "--1"}) {
        EXPECT_FALSE(plainNumber(text)) << text;
    }

    // value, decimals, halves to even, halves up (to +infinity); the double below 0.5 is no half.
    // clang-format off
    const std::tuple<double, int, double, double> halves[] = {
        {0.5, 0, 0, 1}, {-2.5, 0, -2, -2}, {0.125, 2, 0.12, 0.13}, {-0.125, 2, -0.12, -0.12},
        {0.49999999999999994, 0, 0, 0}};
    // clang-format on
    for (const auto& [value, decimals, even, up] : halves) {
        EXPECT_EQ(roundHalfEven(value, decimals), even) << value;
        EXPECT_EQ(roundHalfUp(value, decimals), up) << value;
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
}

// The texts of singles are written digit by digit, apart from the C library the reference uses.
TEST(NumberTextTest, TextsOfSinglesAreThoseOfTheReference) {
    std::vector<std::uint32_t> patterns;
    // A stride through every exponent and fraction, both signs.
    for (std::uint64_t bits = 0; bits <= 0xffffffffu; bits += 2654435761u / 1500) {
        patterns.push_back(std::uint32_t(bits));
    }
    // Where rules turn (2^n, 10^n, 1E-4, 1E7, seven digits too few, extremes); common values.
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
        for (const float v :
             {std::bit_cast<float>(bits), std::bit_cast<float>(bits ^ 0x80000000u)}) {
            const std::string actual(text, writeOutputNumber(text, v));
            // Written past the room for it, the text would have overrun the buffer.
            if ((actual != reference::outputNumberText(v) || actual.size() > SingleTextCapacity) &&
                ++mismatches <= 10) {
                ADD_FAILURE() << std::hex << std::bit_cast<std::uint32_t>(v) << ": " << actual;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Captions keep the zero before the point; doubles get 15 digits at most, exponents from 1E15.
    EXPECT_EQ(shortestText(-0.00123f), "-0.00123");
    EXPECT_EQ(shortestText(0.1 + 0.2), "0.3");
    EXPECT_EQ(shortestText(123456789012345.0), "123456789012345");
    EXPECT_EQ(shortestText(1e15), "1E+15");
}

// Plain decimals are read at once, the rest the general way: both to the reference's bits.
TEST(NumberTextTest, NumbersReadAtOnceAreThoseOfTheReference) {
    // clang-format off
    std::vector<std::string> texts = {
        "0", "-0", "+0.0", "12.345", "-.5", "5.", "9007199254740992", "9007199254740993",
        "18446744073709551615", "1234567890123456789", "12345678901234567890",
        "0.0000000000000000000001", "0.00000000000000000000001", "1.7976931348623157e308",
        "3.4028236e38", "1e-46", "12.5 mg", "12.5mg", "1 2", "1.2.3", "-9999", "1,5"};
    // clang-format on
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
    // No text reads as a NaN, so the bits of one stand for no number.
    auto bits = [](auto v) { return v ? std::bit_cast<std::uint64_t>(*v) : ~0ull; };
    int mismatches = 0;
    for (const std::string& text : texts) {
        if (bits(leadingNumberIfAny(text)) != bits(reference::leadingNumberIfAny(text)) &&
            ++mismatches <= 10) {
            ADD_FAILURE() << "'" << text << "'";
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ResultDeathTest, ReadingTheValueOfARefusalAbortsWithItsReason) {
    const Result<std::string> refused = Failure{"line 3: empty Y value"};
    EXPECT_DEATH((void)refused.value(), "refused result read \\(line 3: empty Y value\\)");
    EXPECT_DEATH((void)refused->size(), "line 3");
    EXPECT_DEATH((void)Result<std::string>(Failure{"moved"}).value(), "moved");
    const Result<std::string> held = std::string("kept");
    EXPECT_EQ(held->size(), 4u);
}
