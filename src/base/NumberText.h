#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quendrix {

/// The leading-number rule used for every number the program reads from text: blanks and tabs
/// anywhere are ignored, then the longest prefix forming [sign] digits [. digits]
/// [(E|D) [sign] digits] is read; "&H" and "&O" introduce hexadecimal and octal whole numbers.
/// Text without a number gives 0. Decimal overflow gives an infinity, which callers refuse.
double leadingNumber(std::string_view text);

/// The leading-number rule without its fallback: no value when the text holds no number at all
/// (empty, letters only, a bare "&H"), so a reader can tell such fields from a written 0.
std::optional<double> leadingNumberIfAny(std::string_view text);

/// leadingNumberIfAny into `value`: false, leaving `value` alone, when the text holds no number.
/// For readers of many numbers, which keep the value in a register this way.
bool readLeadingNumber(std::string_view text, double& value);

/// A text that is a finite decimal number and nothing else ("68.2", "-5", "1e3", " .5 "):
/// where a command line gives a number there is nothing to guess, so "abc", "nan", "" and
/// "0,5" have no value.
std::optional<double> plainNumber(std::string_view text);

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

/// How a typed text was read, for the status line: `From: "0,5" was read as 0`, where `used`
/// is the text of the number used. Empty when the text is a plain number and needs no word.
std::string readingNote(std::string_view name, std::string_view text, std::string_view used);

/// The output file's form of a single: the shortest text without the zero before the decimal
/// point when |x| < 1 (".5", "-.5").
std::string outputNumberText(float value);

/// Nearest whole number, halves to even.
double roundHalfEven(double value);

/// Nearest multiple of 10^-decimals, halves to even.
double roundHalfEven(double value, int decimals);

/// Nearest multiple of 10^-decimals, halves up (toward positive infinity).
double roundHalfUp(double value, int decimals);

} // namespace quendrix
