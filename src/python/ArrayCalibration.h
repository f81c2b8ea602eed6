#pragma once

#include "base/Result.h"
#include "data/DataFile.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationSetup.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendrix {

/// Values as a script hands them over: NaN or -9999 mark a missing value.
using Values = std::vector<double>;

/// A calibration asked for with arrays instead of files. The names and sources are what the
/// common output's head records as the files' column names and paths.
struct ArrayCalibrationRequest {
    Values x;
    Values y;
    std::optional<std::pair<Values, Values>> error; ///< the error data, or
    std::optional<int> modelPercent;                ///< the generated model's SD in % of the range
    std::optional<std::pair<double, double>> range; ///< none: proposed from x, y
    CalibrationSettings settings;
    std::array<std::string, 2> names{"X", "Y"};
    std::array<std::string, 2> errorNames{"X", "Y"};
    std::string source;
    std::string errorSource;
};

/// The pairs as the file reader would have stored them: singles, the marker for a missing value.
/// Refuses lengths that differ, more records than a file may hold, and values that are not
/// finite as singles. `label` names the arrays in the reasons ("x, y").
Result<DataFile> dataFromArrays(const Values& x, const Values& y, const std::string& label);

/// Measurements as --apply (y none) and --check read them from a file: NaN or -9999 is a
/// missing value, one beyond the singles' range is refused. `label` names them in the reasons.
Result<std::vector<Measurement>> measurementsFromArrays(const Values& x, const Values* y,
                                                        const std::string& label);

/// Runs the whole calibration, the detail matrices included, so that everything read off it
/// afterwards only reads.
Result<std::unique_ptr<CalibrationSession>> calibrateArrays(const ArrayCalibrationRequest& request);

/// The number a read-out text stands for: NaN for "Out of range" or an empty text, minus or
/// plus infinity for a "?" end of an interval that runs on beyond the range.
double readingValue(const std::string& text, double unknown);

} // namespace quendrix
