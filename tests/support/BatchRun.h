#pragma once

#include "batch/BatchCommand.h"

#include <sstream>
#include <string>
#include <vector>

namespace quendrix::test {

/// What one run of the batch command gave.
struct BatchRun {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs the batch command in this process with `args` after the program's name.
inline BatchRun runBatchCommand(const std::vector<std::string>& args,
                                const FigureRenderer& figures = {}) {
    std::vector<const char*> argv{"quendrix-batch"};
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out, err;
    BatchRun run;
    run.status = runBatch(int(argv.size()), argv.data(), out, err, figures);
    run.out = out.str();
    run.err = err.str();
    return run;
}

} // namespace quendrix::test
