#include "base/SingleDigits.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>

namespace quendrix {
namespace {

using Wide = unsigned __int128;

constexpr int MaxPowerOf5 = 44;

constexpr std::array<Wide, MaxPowerOf5 + 1> PowersOf5 = [] {
    std::array<Wide, MaxPowerOf5 + 1> p{};
    p[0] = 1;
    for (int k = 1; k <= MaxPowerOf5; ++k) {
        p[std::size_t(k)] = p[std::size_t(k - 1)] * 5;
    }
    return p;
}();

constexpr std::array<std::uint32_t, 8> PowersOf10{1,     10,     100,     1000,
                                                  10000, 100000, 1000000, 10000000};

/// The value times 10^(6 - exponent), which lies in [10^6, 10^7) for the right exponent, as
/// whole + rest / scale with 0 <= rest < scale; `half` is half the gap to the neighbouring
/// singles on the same scale, times 2 (so that 2 * distance < half means "nearer than half a
/// gap"). `Int` holds every product the digits need: 64 bits for the common magnitudes, 128
/// for all.
template <class Int> struct Scaled {
    std::uint64_t whole = 0;
    Int rest = 0;
    Int scale = 1;
    Int half = 0;
};

/// Scales m * 2^e2 by 10^q, for the exponents of normal singles (q = 6 - exponent, -32..44).
template <class Int> constexpr Scaled<Int> scale(std::uint32_t m, int e2, int q) {
    Scaled<Int> s;
    if (q >= 0) {
        // m * 5^q * 2^(e2 + q): a power of two as the scale, so shifts instead of a division.
        const Int five = Int(PowersOf5[std::size_t(q)]);
        const Int num = Int(m) * five;
        const int a = e2 + q;
        s.half = five;
        if (a >= 0) {
            s.whole = std::uint64_t(num << a);
            s.half <<= a;
        } else {
            s.scale = Int(1) << -a;
            s.whole = std::uint64_t(num >> -a);
            s.rest = num & (s.scale - 1);
        }
        return s;
    }
    // m * 2^(e2 - k) / 5^k with k = -q
    const int k = -q;
    const int b = e2 - k;
    Int num = m;
    s.scale = Int(PowersOf5[std::size_t(k)]);
    s.half = 1;
    if (b >= 0) {
        num <<= b;
        s.half <<= b;
    } else {
        s.scale <<= -b;
    }
    s.whole = std::uint64_t(num / s.scale);
    s.rest = num % s.scale;
    return s;
}

/// floor(log10(2^(e2 + 23))), the decimal exponent of the smallest single of a binary exponent.
constexpr int lowestExponent(int e2) {
    return ((e2 + 23) * 78913) >> 18;
}

/// Per biased binary exponent, the smallest mantissa from which the decimal exponent is one more
/// than lowestExponent (2^24 where it never is), so that the exponent is known before scaling.
constexpr std::array<std::uint32_t, 256> NextExponentFrom = [] {
    std::array<std::uint32_t, 256> t{};
    for (int biased = 1; biased < 255; ++biased) {
        const int e2 = biased - 150;
        const int q = 6 - lowestExponent(e2);
        std::uint32_t low = 1u << 23;
        std::uint32_t high = 1u << 24;
        while (low < high) {
            const std::uint32_t mid = low + (high - low) / 2;
            if (scale<Wide>(mid, e2, q).whole >= 10000000) {
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        t[std::size_t(biased)] = low;
    }
    return t;
}();

/// Whether a candidate `delta` away from whole (in units of the last digit, measured against
/// whole + rest / scale) reads back to the value: strictly nearer than half the gap to the
/// neighbouring singles, or exactly half way when the value's last bit is even (halves read
/// back to even).
template <class Int> bool readsBack(const Scaled<Int>& s, long long delta, bool evenMantissa) {
    // |delta * scale - rest|, the distance times scale
    const Int distance = delta > 0 ? Int(delta) * s.scale - s.rest : Int(-delta) * s.scale + s.rest;
    const Int twice = 2 * distance;
    return twice < s.half || (twice == s.half && evenMantissa);
}

/// whole + rest / scale rounded to a multiple of `unit` = 10^drop, halves to even, given
/// whole / unit as `prefix`; returns the multiple divided by unit.
template <class Int>
std::uint64_t roundTo(const Scaled<Int>& s, std::uint64_t prefix, std::uint64_t unit) {
    const std::uint64_t left = s.whole - prefix * unit;
    // Compare left + rest / scale with unit / 2.
    const Int twice = 2 * (Int(left) * s.scale + s.rest);
    const Int whole = Int(unit) * s.scale;
    return prefix + (twice > whole || (twice == whole && (prefix & 1) != 0) ? 1 : 0);
}

DecimalDigits trimmed(std::uint64_t digits, int count, int exponent) {
    if (digits == PowersOf10[std::size_t(count)]) {
        // Rounded up to the next power of ten.
        digits /= 10;
        ++exponent;
    }
    while (digits % 10 == 0) {
        digits /= 10;
        --count;
    }
    return {std::uint32_t(digits), count, exponent};
}

/// The digits of m * 2^e2 (a normal single that is no power of two) from its exponent onwards.
// Kept out of line: singleDigits' common path then saves and restores fewer registers.
template <class Int>
[[gnu::noinline]] bool digitsOf(std::uint32_t m, int e2, int exponent, DecimalDigits& out) {
    const Scaled<Int> s = scale<Int>(m, e2, 6 - exponent);
    if (s.whole < PowersOf10[6] || s.whole >= PowersOf10[7]) {
        return false; // not reached for normal singles; the general way stays exact
    }
    const bool even = (m & 1) == 0;

    // Seven digits first; when they read back, fewer may too.
    const Int twiceRest = 2 * s.rest;
    const bool up = twiceRest > s.scale || (twiceRest == s.scale && (s.whole & 1) != 0);
    const std::uint64_t seven = s.whole + up;
    if (!readsBack(s, up ? 1 : 0, even)) {
        out = trimmed(seven, 7, exponent);
        return true;
    }
    std::uint64_t best = seven;
    int bestCount = 7;
    std::uint64_t prefix = s.whole;
    for (int drop = 1; drop < 7; ++drop) {
        prefix /= 10;
        const std::uint64_t unit = PowersOf10[std::size_t(drop)];
        const std::uint64_t shorter = roundTo(s, prefix, unit);
        const long long delta = (long long)(shorter * unit) - (long long)(s.whole);
        if (!readsBack(s, delta, even)) {
            break;
        }
        best = shorter;
        bestCount = 7 - drop;
    }
    out = trimmed(best, bestCount, exponent);
    return true;
}

/// The common cases in double precision. value * 10^q lies below 2^24; taken with 10^q exact
/// (q <= 22) it is off the exact product by at most 2^-30, and by at most 2^-28 when 10^q is
/// split into two exact factors (q <= 44). Every decision below compares quantities computed
/// exactly from that product and answers only when it stands farther than 2^-26 from its turning
/// point; otherwise, or when six digits read back too, false leaves it to the exact way.
bool nearestDigits(float value, int e2, int exponent, DecimalDigits& out) {
    static constexpr double PowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr double Margin = 0x1p-26;
    const int q = 6 - exponent;
    const double first = PowersOf10[q > 22 ? 22 : q];
    const double second = PowersOf10[q > 22 ? q - 22 : 0];
    const double x = double(value) * first * second;
    // Half the gap to the neighbouring singles on the same scale, 10^q * 2^(e2 - 1), within a
    // relative 2^-53.
    const double half = first * second * std::bit_cast<double>(std::uint64_t(1023 + e2 - 1) << 52);
    const auto whole = std::uint64_t(x);
    const double fraction = x - double(whole);
    if (std::fabs(fraction - 0.5) <= Margin) {
        return false;
    }
    const std::uint64_t seven = whole + (fraction > 0.5);
    const double distance = std::fabs(double(seven) - x);
    if (std::fabs(distance - half) <= Margin) {
        return false;
    }
    if (distance > half) {
        out = trimmed(seven, 7, exponent);
        return true;
    }
    // Seven digits read back; six must not.
    const double left = double(whole % 10) + fraction;
    if (std::fabs(left - 5) <= Margin) {
        return false;
    }
    const std::uint64_t six = whole / 10 + (left > 5);
    const double sixDistance = std::fabs(double(six * 10) - x);
    if (std::fabs(sixDistance - half) <= Margin || sixDistance < half) {
        return false;
    }
    out = trimmed(seven, 7, exponent);
    return true;
}

} // namespace

bool singleDigits(float value, DecimalDigits& out) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const int biased = int((bits >> 23) & 0xff);
    const std::uint32_t fraction = bits & 0x7fffff;
    if ((bits >> 31) != 0 || biased == 0 || biased == 0xff || fraction == 0) {
        return false;
    }
    const std::uint32_t m = fraction | 0x800000;
    const int e2 = biased - 150;
    const int exponent = lowestExponent(e2) + (m >= NextExponentFrom[std::size_t(biased)]);
    // From about 1E-9 to 1E6 every product fits 64 bits: m * 5^q stays below 2^64 for q <= 17,
    // and with a scale of at most 2^40 so do 10^6 times the scale and twice that.
    const int q = 6 - exponent;
    if (q >= 0 && q <= 44 && nearestDigits(value, e2, exponent, out)) {
        return true;
    }
    if (q >= 0 && q <= 17 && e2 + q >= -40 && e2 + q <= 0) {
        return digitsOf<std::uint64_t>(m, e2, exponent, out);
    }
    return digitsOf<Wide>(m, e2, exponent, out);
}

} // namespace quendrix
