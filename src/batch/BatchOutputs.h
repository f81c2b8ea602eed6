#pragma once

#include "base/Result.h"
#include "batch/BatchOptions.h"
#include "data/MeasurementFileReader.h"
#include "io/OutputSet.h"
#include "readout/Prediction.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quendrix {

class CalibrationSession;

/// Writes `text` as a line of the command's own on standard error; nothing when it is empty.
void sayOnError(std::ostream& err, const std::string& text);

/// Where each output of a run goes, all checked before anything is computed.
struct OutputPlan {
    OutputSet set;
    std::optional<size_t> output;
    std::optional<size_t> predictions;
    std::vector<size_t> figures;
};

/// Checks every target of the run: its kind, permission and folder, and that no output is an
/// input or another output under whatever name or link.
Status planOutputs(const BatchOptions& o, OutputPlan& plan);

/// The predictions of --apply, streamed from its file into the output: memory stays the same
/// whatever the number of measurements.
struct ApplyRun {
    MeasurementFile file; ///< its names and counters; the records are not kept
    PredictionCounts counts;

    OutputProducer producer(const BatchOptions& o, const CalibrationSession& session);
    /// Warns about an --apply file that gave no measurement or held fields without a number.
    void warn(const BatchOptions& o, std::ostream& err) const;
};

} // namespace quendrix
