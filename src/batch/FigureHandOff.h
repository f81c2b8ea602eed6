#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace quendrix {

/// The program that draws the figures: the batch command with the desktop program's drawing
/// code. quendrix-batch itself loads no window library, so a run that asks for figures goes
/// on in that program instead.
inline constexpr const char* FigureProgramName = "quendrix-batch-figures";

/// Where the figure program is for the executable at `self`: beside it (the build tree), or
/// in the installed helper folder relative to it. None when neither holds it.
std::optional<std::string> figureProgramFor(const std::string& self);

/// Replaces this process with the figure program, given the same arguments. Returns only when
/// that fails, with the exit status after saying why on `err`.
int handOffToFigureProgram(int argc, const char* const* argv, std::ostream& err);

} // namespace quendrix
