#pragma once

#include "batch/BatchCommand.h"

#include <sstream>
#include <string>
#include <vector>

namespace quendrix::test {

struct BatchRun {
    int status = -1;
    std::string out, err;
};

/// Runs the batch command in this process with `args` after the program's name.
inline BatchRun runBatchCommand(const std::vector<std::string>& args,
                                const FigureRenderer& figures = {}) {
    std::vector<const char*> argv{"quendrix-batch"};
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out, err;
    const int status = runBatch(int(argv.size()), argv.data(), out, err, figures);
    return {status, out.str(), err.str()};
}

} // namespace quendrix::test
