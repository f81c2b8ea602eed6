#include "base/NumberWriting.h"

#include "base/SingleDigits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quendrix {
namespace {

struct Digits {
    std::string mantissa; // significant digits without trailing zeros, at least one digit
    int exponent = 0;     // decimal exponent of the first digit
    bool negative = false;
};

// Splits to_chars' scientific form ("-1.2345e+07") into digits and exponent.
Digits parseScientific(const std::string& text) {
    Digits d;
    size_t pos = 0;
    if (text[0] == '-') {
        d.negative = true;
        pos = 1;
    }
    size_t e = text.find('e');
    for (size_t k = pos; k < e; ++k) {
        if (text[k] != '.') {
            d.mantissa.push_back(text[k]);
        }
    }
    while (d.mantissa.size() > 1 && d.mantissa.back() == '0') {
        d.mantissa.pop_back();
    }
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);
    d.exponent = exponent;
    return d;
}

// Rounds to `precision` significant digits.
Digits scientificDigits(double value, int precision) {
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                             std::chars_format::scientific, precision - 1);
    return parseScientific(std::string(buf.data(), res.ptr));
}

std::string compose(const Digits& d, int formatPrecision) {
    std::string out = d.negative ? "-" : "";
    int x = d.exponent;
    const std::string& m = d.mantissa;
    if (x < -4 || x >= formatPrecision) {
        out += m[0];
        if (m.size() > 1) {
            out += '.';
            out.append(m, 1, std::string::npos);
        }
        out += 'E';
        out += x < 0 ? '-' : '+';
        int ax = x < 0 ? -x : x;
        if (ax < 10) {
            out += '0';
        }
        out += std::to_string(ax);
    } else if (x < 0) {
        out += "0.";
        out.append(size_t(-x - 1), '0');
        out += m;
    } else if (int(m.size()) <= x + 1) {
        out += m;
        out.append(size_t(x + 1 - int(m.size())), '0');
    } else {
        out.append(m, 0, size_t(x + 1));
        out += '.';
        out.append(m, size_t(x + 1), std::string::npos);
    }
    return out;
}

std::string nonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Inf" : "Inf";
}

template <class T> std::string shortest(T value, int maxDigits) {
    if (!std::isfinite(value)) {
        return nonFiniteText(double(value));
    }
    if (value == 0) {
        return "0";
    }
    // to_chars without a precision gives the fewest digits that read back exactly; past the
    // type's digit budget the value is rounded to that many digits instead.
    std::array<char, 64> buf{};
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
    Digits d = parseScientific(std::string(buf.data(), res.ptr));
    if (int(d.mantissa.size()) > maxDigits) {
        d = scientificDigits(double(value), maxDigits);
    }
    return compose(d, maxDigits);
}

/// The digits of a single the general way, for the values singleDigits leaves out: to_chars'
/// shortest digits, or past seven digits its seven-digit rounding of the value.
DecimalDigits generalSingleDigits(float magnitude) {
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                             std::chars_format::scientific);
    Digits d = parseScientific(std::string(buf.data(), res.ptr));
    if (d.mantissa.size() > 7) {
        d = scientificDigits(double(magnitude), 7);
    }
    DecimalDigits out;
    for (char c : d.mantissa) {
        out.digits = out.digits * 10 + std::uint32_t(c - '0');
    }
    out.count = int(d.mantissa.size());
    out.exponent = d.exponent;
    return out;
}

constexpr char DigitPairs[] = "000102030405060708091011121314151617181920212223242526272829"
                              "303132333435363738394041424344454647484950515253545556575859"
                              "606162636465666768697071727374757677787980818283848586878889"
                              "90919293949596979899";

/// Writes the seven digits of a number in [10^6, 10^7).
void writeSevenDigits(char* out, std::uint32_t seven) {
    const std::uint32_t high = seven / 10000;
    const std::uint32_t low = seven % 10000;
    out[0] = char('0' + high / 100);
    std::memcpy(out + 1, DigitPairs + 2 * (high % 100), 2);
    std::memcpy(out + 3, DigitPairs + 2 * (low / 100), 2);
    std::memcpy(out + 5, DigitPairs + 2 * (low % 100), 2);
}

/// The text of a finite single: general format with at most seven significant digits, as
/// compose writes it; `leadingZero` keeps the zero before the decimal point of |x| < 1.
/// Every form is laid out with copies of a fixed length and the end moved by the text's
/// length, so that the output file's mix of forms and lengths costs no mispredicted branch per
/// digit; the copies write past the end, within SingleTextCapacity.
char* writeSingle(char* out, float value, bool leadingZero) {
    static constexpr std::uint32_t Scale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    if (value == 0) {
        *out = '0';
        return out + 1;
    }
    if (!std::isfinite(value)) {
        const std::string text = nonFiniteText(double(value));
        return std::copy(text.begin(), text.end(), out);
    }
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    DecimalDigits d;
    if (!singleDigits(value, d)) {
        d = generalSingleDigits(value);
    }
    // The seven digits (trailing zeros put back), followed by zeros.
    char digits[16];
    writeSevenDigits(digits, d.digits * Scale[7 - d.count]);
    std::memcpy(digits + 7, "000000000", 9);
    const int x = d.exponent;
    if (x < -4 || x >= 7) {
        out[0] = digits[0];
        out[1] = '.';
        std::memcpy(out + 2, digits + 1, 8);
        out += d.count > 1 ? d.count + 1 : 1;
        const int ax = x < 0 ? -x : x; // at most 45 for a single
        out[0] = 'E';
        out[1] = x < 0 ? '-' : '+';
        std::memcpy(out + 2, DigitPairs + 2 * ax, 2);
        return out + 4;
    }
    if (x < 0) {
        *out = '0';
        out += leadingZero;
        std::memcpy(out, ".000", 4);
        std::memcpy(out - x, digits, 8);
        return out - x + d.count;
    }
    std::memcpy(out, digits, 8);
    std::memcpy(out + x + 2, digits + x + 1, 8);
    out[x + 1] = '.';
    return out + (d.count > x + 1 ? d.count + 1 : x + 1);
}

} // namespace

char* writeShortestText(char* out, float value) {
    return writeSingle(out, value, true);
}

char* writeOutputNumber(char* out, float value) {
    return writeSingle(out, value, false);
}

std::string shortestText(float value) {
    char text[SingleTextCapacity];
    return {text, writeShortestText(text, value)};
}

std::string shortestText(double value) {
    return shortest(value, 15);
}

std::string exactText(double value) {
    return shortest(value, 17);
}

std::string outputNumberText(float value) {
    char text[SingleTextCapacity];
    return {text, writeOutputNumber(text, value)};
}

std::string fixedText(double value, int decimals) {
    // Room for any double in fixed form with a few decimals.
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc{} ? std::string(text, end) : shortestText(value);
}

} // namespace quendrix
