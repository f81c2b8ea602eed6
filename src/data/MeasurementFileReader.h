#pragma once

#include "base/Result.h"
#include "data/DataFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quendrix {

/// Reads a file of measurements to apply a calibration to, or of pairs to check it with: the
/// same fields as a data file, without its record limit. A header of one name makes a column of
/// X values. An empty field or a marker leaves that value out (the record is kept, so its line
/// can be reported); blank lines are skipped; Y may be missing.
Result<MeasurementFile> readMeasurementFile(const std::string& path);

/// Receives one measurement as it is read; false stops the reading.
using MeasurementSink = std::function<bool(const Measurement&)>;

/// Reads a file of measurements as readMeasurementFile does, but hands each record to `each` as
/// it is read and keeps none, so memory stays the same whatever the file's length. `file` gets
/// the names and counters, its records stay empty. Records before a fault have been handed
/// over when the fault is reported.
Status streamMeasurementFile(const std::string& path, MeasurementFile& file,
                             const MeasurementSink& each);
/// readMeasurementFile on bytes in memory, its lines numbered from `firstLine`.
Result<MeasurementFile> parseMeasurementFile(std::string_view bytes, std::int64_t firstLine = 1);

} // namespace quendrix
