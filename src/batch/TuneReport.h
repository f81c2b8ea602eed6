#pragma once

#include "batch/BatchOptions.h"
#include "tuning/SettingsSearch.h"

#include <string>
#include <vector>

namespace quendrix {

/// A list of whole numbers as the grid options take it: "1-25", "0,2,4-6". Ranges rise.
Result<std::vector<int>> parseSettingList(const std::string& text);

/// The batch command line that calibrates with `trial`: the options of `o` with the searched
/// settings replaced, the output kept or left to fill in.
std::string tunedCommandLine(const BatchOptions& o, const TrialScore& trial);

/// The search as a table for a terminal, best first, with the recommendation after it.
std::string tuneTable(const TuningResult& r, const BatchOptions& o);

/// The search as one JSON object.
std::string tuneJson(const TuningResult& r, const BatchOptions& o);

} // namespace quendrix
