#pragma once

#include <ostream>

namespace quendrix {

/// quendrix-batch: one calibration end to end from the command line, written in the common
/// output format exactly as the desktop program saves it. Returns the process exit status.
int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace quendrix
