#include "ReferenceNumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace quendrix::reference {
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

bool isDigit(char c, int base) {
    if (base == 16) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    return c >= '0' && c < char('0' + base);
}
double wholeNumber(const std::string& digits, int base) {
    double value = 0;
    for (char c : digits) {
        int d = (c >= '0' && c <= '9') ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * base + d;
    }
    return value;
}
double parseDecimal(const std::string& text) {
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value untouched on overflow and underflow; tell them apart by
        // the exponent's sign.
        auto e = text.find_first_of("eE");
        bool tiny = e != std::string::npos && e + 1 < text.size() && text[e + 1] == '-';
        bool negative = !text.empty() && text[0] == '-';
        if (tiny) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    return value;
}
} // namespace

std::optional<double> leadingNumberIfAny(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            s.push_back(c);
        }
    }
    if (s.size() >= 2 && s[0] == '&') {
        char kind = char(s[1] | 0x20);
        int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
        if (base != 0) {
            std::string digits;
            for (size_t k = 2; k < s.size() && isDigit(s[k], base); ++k) {
                digits.push_back(s[k]);
            }
            if (digits.empty()) {
                return std::nullopt;
            }
            return wholeNumber(digits, base);
        }
        return std::nullopt;
    }
    std::string number;
    size_t k = 0;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) {
        if (s[k] == '-') {
            number.push_back('-');
        }
        ++k;
    }
    size_t digits = 0;
    while (k < s.size() && isDigit(s[k], 10)) {
        number.push_back(s[k++]);
        ++digits;
    }
    if (k < s.size() && s[k] == '.') {
        size_t afterPoint = k + 1;
        std::string fraction;
        while (afterPoint < s.size() && isDigit(s[afterPoint], 10)) {
            fraction.push_back(s[afterPoint++]);
        }
        if (digits + fraction.size() > 0) {
            if (digits == 0) {
                number += '0'; // from_chars wants a digit before the point
            }
            number += '.';
            number += fraction;
            digits += fraction.size();
            k = afterPoint;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (k < s.size() && (s[k] == 'E' || s[k] == 'e' || s[k] == 'D' || s[k] == 'd')) {
        size_t e = k + 1;
        std::string exponent = "e";
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            exponent.push_back(s[e++]);
        }
        size_t expDigits = 0;
        while (e < s.size() && isDigit(s[e], 10)) {
            exponent.push_back(s[e++]);
            ++expDigits;
        }
        if (expDigits > 0) {
            number += exponent;
        }
    }
    return parseDecimal(number);
}

std::string shortestText(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Inf" : "Inf";
    }
    if (value == 0) {
        return "0";
    }
    std::array<char, 64> buf{};
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
    Digits d = parseScientific(std::string(buf.data(), res.ptr));
    if (d.mantissa.size() > 7) {
        res = std::to_chars(buf.data(), buf.data() + buf.size(), double(value),
                            std::chars_format::scientific, 6);
        d = parseScientific(std::string(buf.data(), res.ptr));
    }
    return compose(d, 7);
}

std::string outputNumberText(float value) {
    std::string text = shortestText(value);
    if (text.rfind("0.", 0) == 0) {
        text.erase(0, 1);
    } else if (text.rfind("-0.", 0) == 0) {
        text.erase(1, 1);
    }
    return text;
}

} // namespace quendrix::reference
