#include "ReferenceNumberText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <regex>

// Apart from src/base/Number*.cpp, on the C library's correctly rounded conversions.

namespace quendrix::reference {
namespace {

/// Runs `f` under the C locale (the tests run under one with a decimal comma).
template <class F> auto inCLocale(F f) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr), previous = uselocale(c);
    auto result = f();
    uselocale(previous);
    freelocale(c);
    return result;
}

} // namespace

std::optional<double> leadingNumberIfAny(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            s += c;
        }
    }
    std::smatch m;
    static const std::regex based("^&([HhOo])([0-9A-Fa-f]*)");
    if (std::regex_search(s, m, based)) {
        const int base = m[1] == "H" || m[1] == "h" ? 16 : 8;
        double value = 0;
        bool any = false;
        for (char c : m[2].str()) {
            const int digit =
                std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10;
            if (digit >= base) {
                break;
            }
            value = value * base + digit;
            any = true;
        }
        return any ? std::optional<double>(value) : std::nullopt;
    }
    if (!s.empty() && s[0] == '&') {
        return std::nullopt;
    }
    static const std::regex decimal("^([+-]?)([0-9]+\\.?[0-9]*|\\.[0-9]+)([EeDd][+-]?[0-9]+)?");
    if (!std::regex_search(s, m, decimal)) {
        return std::nullopt;
    }
    std::string number = (m[1] == "-" ? "-" : "") + m[2].str();
    if (m[3].matched) {
        number += "e" + m[3].str().substr(1);
    }
    return inCLocale([&number] { return std::strtod(number.c_str(), nullptr); });
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
    // The fewest digits (up to seven) whose correct rounding reads back, else seven.
    const std::string scientific = inCLocale([value] {
        char text[64];
        for (int digits = 1; digits <= 7; ++digits) {
            std::snprintf(text, sizeof text, "%.*e", digits - 1, double(value));
            if (std::strtof(text, nullptr) == value) {
                return std::string(text);
            }
        }
        std::snprintf(text, sizeof text, "%.6e", double(value));
        return std::string(text);
    });
    const size_t e = scientific.find('e');
    std::string sign, digits;
    for (char c : scientific.substr(0, e)) {
        if (c == '-') {
            sign = "-";
        } else if (c != '.') {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int x = std::atoi(scientific.c_str() + e + 1);
    if (x < -4 || x >= 7) {
        const int a = std::abs(x);
        return sign + digits[0] + (digits.size() > 1 ? "." + digits.substr(1) : "") + "E" +
               (x < 0 ? "-" : "+") + (a < 10 ? "0" : "") + std::to_string(a);
    }
    if (x < 0) {
        return sign + "0." + std::string(size_t(-x - 1), '0') + digits;
    }
    if (digits.size() <= size_t(x + 1)) {
        return sign + digits + std::string(size_t(x + 1) - digits.size(), '0');
    }
    return sign + digits.substr(0, size_t(x + 1)) + "." + digits.substr(size_t(x + 1));
}

std::string outputNumberText(float value) {
    const std::string text = shortestText(value);
    if (text.starts_with("0.")) {
        return text.substr(1);
    }
    if (text.starts_with("-0.")) {
        return "-" + text.substr(2);
    }
    return text;
}

} // namespace quendrix::reference
