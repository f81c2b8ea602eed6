#pragma once

// Internal to the file readers: what the data file and the measurement file readers share.

#include "base/NumberReading.h"
#include "base/Result.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace quendrix {

/// A refusal naming the line of the fault ("line 12: empty Y value").
inline Failure atLine(std::int64_t line, const std::string& what) {
    return Failure{"line " + std::to_string(line) + ": " + what};
}

/// The leading-number rule on a field, a decimal comma read as the point.
inline bool readFieldNumber(std::string_view text, bool decimalComma, double& value) {
    if (decimalComma && text.find(',') != std::string_view::npos) {
        std::string pointed(text);
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        return readLeadingNumber(pointed, value);
    }
    return readLeadingNumber(text, value);
}

/// Counts a field that held no number, keeping the line of the first, for the warning.
template <class File> void countFieldWithoutNumber(File& file, std::int64_t line) {
    if (file.fieldsWithoutNumber++ == 0) {
        file.firstFieldWithoutNumberLine = line;
    }
}

} // namespace quendrix
