#pragma once

#include "base/Result.h"
#include "data/DataFile.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quendrix {

/// Parses the bytes of a data file: comma- or line-end-separated fields taken in pairs, a header
/// pair of column names, then X,Y records read with the leading-number rule and stored as
/// singles. A UTF-8 byte-order mark is skipped; UTF-16 and UTF-32 text is refused. Fails with
/// the line of the first fault; nothing is returned half-read.
/// `blockSize` other than 0 hands the bytes to the reader in blocks of that size, as a file or
/// a pipe would (records then span blocks); the result is the same whatever the size.
Result<DataFile> parseDataFile(std::string_view bytes, std::size_t blockSize = 0);

/// Reads and parses the file at `path` as a stream: it stops at the first fault or at the
/// first record beyond the limit without reading the rest, and its memory stays bounded
/// whatever the file's size. Pipes and other special files are read like any file.
Result<DataFile> readDataFile(const std::string& path);

/// Reads a file of measurements to apply a calibration to, or of pairs to check it with: the
/// same fields as a data file, without its record limit. A header of one name makes a column of
/// X values. An empty field or a marker leaves that value out (the record is kept, so its line
/// can be reported); blank lines are skipped; Y may be missing.
Result<MeasurementFile> readMeasurementFile(const std::string& path);
Result<MeasurementFile> parseMeasurementFile(std::string_view bytes);

/// Recounts N and the value bounds of a file from its records: markers neither count nor
/// widen the bounds.
void recount(DataFile& file);

/// The warning about fields that hold no number and were read as 0 ("File 1: 3 fields without
/// a number were read as 0 (first on line 7)"); empty when there were none. f = 0 or 1.
std::string importWarning(int f, const DataFile& file);
/// The same warning for any file, named by `fileLabel`.
std::string fieldsWithoutNumberWarning(const std::string& fileLabel, int count, int firstLine);

} // namespace quendrix
