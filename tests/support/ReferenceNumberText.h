#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendrix::reference {

/// The leading-number rule as first written: blanks removed, the number's text rebuilt and
/// handed to from_chars.
std::optional<double> leadingNumberIfAny(std::string_view text);

/// The shortest text of a single as first written: to_chars' shortest digits, re-parsed, and
/// past seven digits to_chars' seven-digit rounding of the value; for comparing faster ways of
/// writing the same text.
std::string shortestText(float value);

/// The same text without the zero before the decimal point.
std::string outputNumberText(float value);

} // namespace quendrix::reference
