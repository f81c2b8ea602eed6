#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendrix::reference {

/// The leading-number rule: blanks removed, a regular expression, the C library's conversion.
std::optional<double> leadingNumberIfAny(std::string_view text);

/// The shortest text of a single: the fewest digits (up to seven) that read back, else seven.
std::string shortestText(float value);

/// The same text without the zero before the decimal point.
std::string outputNumberText(float value);

} // namespace quendrix::reference
