#pragma once

#include <cstddef>
#include <cstdint>

namespace quendrix {

/// The quick part of the leading-number rule: [sign] digits [. digits] at the start of
/// [first, end), read exactly; returns where the number ends, or null where the text does not
/// start with such a number or has more digits than the quick way takes. What follows the
/// number is the caller's to judge: a blank, a second point or an exponent there make it a
/// text for readLeadingNumber. Up to 19 digits whose whole value is below 2^53, with up to 22
/// digits after the point, are exact in double, and one division by an exact power of ten
/// rounds them correctly, as from_chars would.
inline const char* readPlainDecimal(const char* p, const char* end, double& out) {
    static constexpr double PowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) {
        ++p;
    }
    auto isDigit = [](char c) { return unsigned(c - '0') < 10; };
    std::uint64_t mantissa = 0;
    const char* const whole = p;
    while (p != end && isDigit(*p)) {
        mantissa = mantissa * 10 + unsigned(*p++ - '0');
    }
    std::ptrdiff_t digits = p - whole;
    std::ptrdiff_t fraction = 0;
    if (p != end && *p == '.') {
        const char* const point = ++p;
        while (p != end && isDigit(*p)) {
            mantissa = mantissa * 10 + unsigned(*p++ - '0');
        }
        fraction = p - point;
        digits += fraction;
    }
    // Past 19 digits the mantissa may have wrapped; the general way reads such texts.
    if (digits == 0 || digits > 19 || fraction > 22 || mantissa > (std::uint64_t(1) << 53)) {
        return nullptr;
    }
    const double value = double(mantissa) / PowersOf10[fraction];
    out = negative ? -value : value;
    return p;
}

} // namespace quendrix
