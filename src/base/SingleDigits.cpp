#include "base/SingleDigits.h"

#include <array>
#include <bit>

namespace quendrix {
namespace {

using Wide = unsigned __int128;

constexpr int MaxPowerOf5 = 44;

constexpr std::array<Wide, MaxPowerOf5 + 1> PowersOf5 = [] {
    std::array<Wide, MaxPowerOf5 + 1> p{};
    p[0] = 1;
    for (int k = 1; k <= MaxPowerOf5; ++k) {
        p[size_t(k)] = p[size_t(k - 1)] * 5;
    }
    return p;
}();

constexpr std::array<std::uint32_t, 8> PowersOf10{1,     10,     100,     1000,
                                                  10000, 100000, 1000000, 10000000};

/// The value times 10^(6 - exponent), which lies in [10^6, 10^7) for the right exponent, as
/// whole + rest / scale with 0 <= rest < scale; `half` is half the gap to the neighbouring
/// singles on the same scale, times 2 (so that 2 * distance < half means "nearer than half a
/// gap").
struct Scaled {
    std::uint64_t whole = 0;
    Wide rest = 0;
    Wide scale = 1;
    Wide half = 0;
};

/// Scales m * 2^e2 by 10^(6 - exponent), for exponents of normal singles (-38..38).
Scaled scale(std::uint32_t m, int e2, int exponent) {
    Scaled s;
    const int q = 6 - exponent;
    if (q >= 0) {
        // m * 5^q * 2^(e2 + q): a power of two as the scale, so shifts instead of a division.
        const Wide num = Wide(m) * PowersOf5[size_t(q)];
        const int a = e2 + q;
        s.half = PowersOf5[size_t(q)];
        if (a >= 0) {
            s.whole = std::uint64_t(num << a);
            s.half <<= a;
        } else {
            s.scale = Wide(1) << -a;
            s.whole = std::uint64_t(num >> -a);
            s.rest = num & (s.scale - 1);
        }
        return s;
    }
    // m * 2^(e2 - k) / 5^k with k = -q
    const int k = -q;
    const int b = e2 - k;
    Wide num = m;
    s.scale = PowersOf5[size_t(k)];
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

/// Whether a candidate `delta` away from whole (in units of the last digit, measured against
/// whole + rest / scale) reads back to the value: strictly nearer than half the gap to the
/// neighbouring singles, or exactly half way when the value's last bit is even (halves read
/// back to even).
bool readsBack(const Scaled& s, long long delta, bool evenMantissa) {
    // |delta * scale - rest|, the distance times scale
    Wide distance;
    if (delta > 0) {
        distance = Wide(delta) * s.scale - s.rest;
    } else {
        distance = Wide(-delta) * s.scale + s.rest;
    }
    const Wide twice = 2 * distance;
    return twice < s.half || (twice == s.half && evenMantissa);
}

/// whole + rest / scale rounded to a multiple of 10^drop, halves to even; returns the multiple
/// divided by 10^drop.
std::uint64_t roundTo(const Scaled& s, int drop) {
    const std::uint64_t unit = PowersOf10[size_t(drop)];
    const std::uint64_t q = s.whole / unit;
    const std::uint64_t left = s.whole % unit;
    // Compare left + rest / scale with unit / 2.
    const Wide twice = 2 * (Wide(left) * s.scale + s.rest);
    const Wide whole = Wide(unit) * s.scale;
    return q + (twice > whole || (twice == whole && (q & 1) != 0) ? 1 : 0);
}

DecimalDigits trimmed(std::uint64_t digits, int count, int exponent) {
    if (digits == PowersOf10[size_t(count)]) {
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

} // namespace

std::optional<DecimalDigits> singleDigits(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const int biased = int((bits >> 23) & 0xff);
    const std::uint32_t fraction = bits & 0x7fffff;
    if ((bits >> 31) != 0 || biased == 0 || biased == 0xff || fraction == 0) {
        return std::nullopt;
    }
    const std::uint32_t m = fraction | 0x800000;
    const int e2 = biased - 150;
    // floor(log10(2^(e2 + 23))) is the exponent or one below it.
    int exponent = ((e2 + 23) * 78913) >> 18;
    Scaled s = scale(m, e2, exponent);
    if (s.whole >= PowersOf10[7]) {
        ++exponent;
        s = scale(m, e2, exponent);
    }
    if (s.whole < PowersOf10[6] || s.whole >= PowersOf10[7]) {
        return std::nullopt; // not reached for normal singles; the general way stays exact
    }
    const bool even = (m & 1) == 0;

    // Seven digits first; when they read back, fewer may too.
    const Wide twiceRest = 2 * s.rest;
    const bool up = twiceRest > s.scale || (twiceRest == s.scale && (s.whole & 1) != 0);
    const std::uint64_t seven = s.whole + up;
    if (!readsBack(s, up ? 1 : 0, even)) {
        return trimmed(seven, 7, exponent);
    }
    std::uint64_t best = seven;
    int bestCount = 7;
    for (int drop = 1; drop < 7; ++drop) {
        const std::uint64_t shorter = roundTo(s, drop);
        const long long delta =
            (long long)(shorter * PowersOf10[size_t(drop)]) - (long long)(s.whole);
        if (!readsBack(s, delta, even)) {
            break;
        }
        best = shorter;
        bestCount = 7 - drop;
    }
    return trimmed(best, bestCount, exponent);
}

} // namespace quendrix
