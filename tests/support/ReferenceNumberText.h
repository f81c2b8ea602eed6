#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendrix::reference {

/// The leading-number rule from its description: blanks removed, the longest number at the
/// start matched by a regular expression and converted by the C library.
std::optional<double> leadingNumberIfAny(std::string_view text);

/// The shortest text of a single from its description: the fewest significant digits (at most
/// seven) that read back to the value, else the value rounded to seven; general format.
std::string shortestText(float value);

/// The same text without the zero before the decimal point.
std::string outputNumberText(float value);

} // namespace quendrix::reference
