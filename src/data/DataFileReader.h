#pragma once

#include "base/Result.h"
#include "data/DataFile.h"

#include <string>
#include <string_view>

namespace quendrix {

/// Parses the bytes of a data file: comma- or line-end-separated fields taken in pairs, a header
/// pair of column names, then X,Y records read with the leading-number rule and stored as
/// singles. Fails with the line of the first fault; nothing is returned half-read.
Result<DataFile> parseDataFile(std::string_view bytes);

/// Reads and parses the file at `path`.
Result<DataFile> readDataFile(const std::string& path);

} // namespace quendrix
