#pragma once

#include <cstdint>

namespace quendrix {

/// A decimal number of at most seven significant digits: digits * 10^(exponent - count + 1),
/// `digits` without trailing zeros and `count` digits long, `exponent` the power of ten of the
/// first digit.
struct DecimalDigits {
    std::uint32_t digits = 0;
    int count = 0;
    int exponent = 0;
};

/// The decimal that shortestText shows for a positive normal single, found by exact integer
/// arithmetic: the shortest decimal that reads back to the value when one of at most seven
/// digits does (the nearest of that length), else the value rounded to seven digits (halves to
/// even). False, leaving `out` alone, for the singles where the read-back interval is lopsided
/// (powers of two) or the value is subnormal: those go the slower general way.
bool singleDigits(float value, DecimalDigits& out);

} // namespace quendrix
