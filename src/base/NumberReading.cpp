#include "base/NumberReading.h"

#include "base/PlainDecimal.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quendrix {
namespace {

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

// Parses a plain decimal text (already validated) exactly, independent of the C locale.
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

/// The common case of the leading-number rule read at once: [sign] digits [. digits], ending the
/// text or followed by a character that cannot continue a number.
bool plainDecimal(std::string_view text, double& out) {
    const char* const end = text.data() + text.size();
    double value;
    const char* p = readPlainDecimal(text.data(), end, value);
    if (p == nullptr) {
        return false;
    }
    if (p != end) {
        // Blanks are skipped, an exponent or another point may follow: the general way.
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '.' || c == 'e' || c == 'E' || c == 'd' || c == 'D') {
            return false;
        }
    }
    out = value;
    return true;
}

/// The leading-number rule in full: blanks removed, the number's text rebuilt and read exactly.
/// Kept apart from the plain case so that this one stays small.
[[gnu::noinline]] std::optional<double> generalLeadingNumber(std::string_view text) {
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

} // namespace

double leadingNumber(std::string_view text) {
    return leadingNumberIfAny(text).value_or(0.0);
}

bool readLeadingNumber(std::string_view text, double& value) {
    if (plainDecimal(text, value)) {
        return true;
    }
    const std::optional<double> general = generalLeadingNumber(text);
    if (general) {
        value = *general;
    }
    return general.has_value();
}

std::optional<double> leadingNumberIfAny(std::string_view text) {
    double value;
    if (readLeadingNumber(text, value)) {
        return value;
    }
    return std::nullopt;
}

std::optional<double> plainNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    size_t k = 0;
    auto digits = [&] {
        const size_t start = k;
        while (k < text.size() && isDigit(text[k], 10)) {
            ++k;
        }
        return k - start;
    };
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
        ++k;
    }
    size_t mantissa = digits();
    if (k < text.size() && text[k] == '.') {
        ++k;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (k < text.size() && (text[k] == 'e' || text[k] == 'E')) {
        ++k;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
            ++k;
        }
        if (digits() == 0) {
            return std::nullopt;
        }
    }
    if (k != text.size()) {
        return std::nullopt;
    }
    const double value = leadingNumber(text);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string readingNote(std::string_view name, std::string_view text, std::string_view used) {
    if (plainNumber(text)) {
        return {};
    }
    std::string note(name);
    note += ": \"";
    note += text;
    note += "\" was read as ";
    note += used;
    return note;
}

} // namespace quendrix
