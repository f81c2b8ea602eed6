#pragma once

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

/// How a typed text was read, for the status line: `From: "0,5" was read as 0`, where `used`
/// is the text of the number used. Empty when the text is a plain number and needs no word.
std::string readingNote(std::string_view name, std::string_view text, std::string_view used);

} // namespace quendrix
