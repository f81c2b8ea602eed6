#pragma once

#include "base/Result.h"
#include "export/FigureFiles.h"

#include <functional>
#include <ostream>

namespace quendrix {

class CalibrationSession;

/// Writes the figures of a calibrated session as `--figures` asks. The drawing needs the
/// window library, so only the figure program supplies one.
using FigureWriter = std::function<Status(const CalibrationSession&, const FigureRequest&)>;

/// quendrix-batch: one calibration end to end from the command line, written in the common
/// output format exactly as the desktop program saves it. Returns the process exit status.
/// Without a figure writer a run with `--figures` goes on in the figure program.
int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const FigureWriter& figures = {});

} // namespace quendrix
