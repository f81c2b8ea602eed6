#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace quendrix {

/// The options of quendrix-batch as given; each has been checked when describeOptions' parser
/// has read them.
struct BatchOptions {
    std::string file1;
    std::string file2;
    // Whole numbers are kept as their checked texts: CLI11 would read "010" as octal.
    std::optional<std::string> modelPercent;
    std::vector<std::string> range;
    std::string smoothing = "5";
    std::string verticalThreshold = "2";
    std::string horizontalThreshold = "2";
    bool skip = false;
    std::optional<std::string> coefficient1;
    std::optional<std::string> coefficient2;
    std::optional<std::string> section;
    std::string output;
    std::string apply;
    std::string predictions;
    bool fullPrecision = false;
    std::string check;
    std::optional<std::string> holdout;
    std::string seed = "1";
    bool json = false;
    std::string figures;
    std::string format = "png";
    bool tune = false;
    std::string folds = "5";
    std::string tolerance = "3";
    std::string threads = "0";
    std::string smoothingGrid; ///< empty: the search's own grid
    std::string modelGrid;
    std::string verticalGrid;
    std::string horizontalGrid;
};

/// Declares every option of the batch command on `app`, with its checks, into `o`.
void describeOptions(CLI::App& app, BatchOptions& o);

/// A whole-number option's value; its text was checked when the options were read.
int whole(const std::string& text);

} // namespace quendrix
