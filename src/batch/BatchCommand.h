#pragma once

#include "base/Result.h"
#include "export/FigureFiles.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quendrix {

class CalibrationSession;

/// Draws the figures of a calibrated session as `--figures` asks: the bytes of each file, in the
/// order of figureFileNames. The batch command writes them with its other outputs, all or
/// none. The drawing needs the window library, so only the figure program supplies one.
using FigureRenderer = std::function<Result<std::vector<std::string>>(const CalibrationSession&,
                                                                      const FigureRequest&)>;

/// quendrix-batch: one calibration end to end from the command line, written in the common
/// output format exactly as the desktop program saves it. Returns the process exit status.
/// Without a figure renderer a run with `--figures` goes on in the figure program. Every
/// output of a run is checked before anything is computed, and put in place only when all are
/// complete.
int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const FigureRenderer& figures = {});

} // namespace quendrix
