#pragma once

#include <cstddef>
#include <string>

namespace quendrix {

/// Shortest text (1..7 significant digits) that reads back to the same single; exponent form
/// only below 1E-4 or from 1E7 on, as "%.7G" would decide. Captions use this form ("0.25").
std::string shortestText(float value);

/// Room enough for any text of a single ("-1.234567E-38"), and for what the writer puts past
/// its end while it lays the text out.
inline constexpr std::size_t SingleTextCapacity = 24;

/// Writes shortestText(value) at `out`, which has room for SingleTextCapacity characters, and
/// returns the end: the same text without a string.
char* writeShortestText(char* out, float value);

/// Writes outputNumberText(value) at `out` (room for SingleTextCapacity) and returns the end.
char* writeOutputNumber(char* out, float value);

/// Shortest text (1..15 significant digits) that reads back to the same double; exponent form
/// only below 1E-4 or from 1E15 on.
std::string shortestText(double value);

/// Shortest text that reads back to exactly the same double (up to 17 significant digits), for
/// labels that must show the very number used.
std::string exactText(double value);

/// `value` with `decimals` digits after the point ("73.7"), never the locale's decimal comma:
/// the tables of a terminal.
std::string fixedText(double value, int decimals);

/// The output file's form of a single: the shortest text without the zero before the decimal
/// point when |x| < 1 (".5", "-.5").
std::string outputNumberText(float value);

} // namespace quendrix
