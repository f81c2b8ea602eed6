#pragma once

#include "base/Result.h"
#include "data/DataFile.h"
// The measurement reader shares this one's fields and notes; its callers include this header.
#include "data/MeasurementFileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quendrix {

/// Parses the bytes of a data file: comma- or line-end-separated fields taken in pairs, a header
/// pair of column names, then X,Y records read with the leading-number rule and stored as
/// singles. A header line holding a semicolon or a tab and no comma (outside quotes) makes that
/// character the separator instead; a semicolon file writes its decimal point as a comma. A
/// UTF-8 byte-order mark is skipped; UTF-16 and UTF-32 text is refused. Fails with the line of
/// the first fault, an unclosed quote included; nothing is returned half-read.
/// `blockSize` other than 0 hands the bytes to the reader in blocks of that size, as a file or
/// a pipe would (records then span blocks); the result is the same whatever the size.
/// `firstLine` numbers the lines from elsewhere than 1, so that counts beyond any 32-bit limit
/// can be checked without feeding billions of lines.
Result<DataFile> parseDataFile(std::string_view bytes, std::size_t blockSize = 0,
                               std::int64_t firstLine = 1);

/// Reads and parses the file at `path` as a stream: it stops at the first fault or at the
/// first record beyond the limit without reading the rest, and its memory stays bounded
/// whatever the file's size. Pipes and other special files are read like any file.
Result<DataFile> readDataFile(const std::string& path);

/// How a file was read where it was not the comma-separated native form, for the user to check
/// ("read as semicolon-separated, decimal comma"); empty for a comma file.
std::string conventionNote(const FileConvention& convention);

/// Recounts N and the value bounds of a file from its records: markers neither count nor
/// widen the bounds.
void recount(DataFile& file);

/// The warning about fields that hold no number and were read as 0 ("File 1: 3 fields without
/// a number were read as 0 (first on line 7)"); empty when there were none. f = 0 or 1.
std::string importWarning(int f, const DataFile& file);
/// The same warning for any file, named by `fileLabel`.
std::string fieldsWithoutNumberWarning(const std::string& fileLabel, int count,
                                       std::int64_t firstLine);

} // namespace quendrix
