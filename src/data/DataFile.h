#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quendrix {

/// The value that marks a missing X or Y in a data file.
inline constexpr float MissingValue = -9999.0f;

/// Most records a data file may hold after its header.
inline constexpr int MaxRecords = 10000;

/// What separates the fields of a file, told from its header line: a line end always does too.
enum class FieldSeparator { Comma, Semicolon, Tab };

/// How a file's text was read: comma files are the native form; a spreadsheet in a locale that
/// writes "1,5" saves semicolon files with a decimal comma.
struct FileConvention {
    FieldSeparator separator = FieldSeparator::Comma;
    bool decimalComma = false;

    bool operator==(const FileConvention&) const = default;
};

/// One X,Y pair of a data file.
struct Sample {
    float x = 0;
    float y = 0;

    /// A record is complete when neither value is the missing-value marker.
    bool complete() const { return x != MissingValue && y != MissingValue; }
};

/// One imported data file: the header's column names and every record read, in file order.
/// Names are kept as the file's Latin-1 bytes.
struct DataFile {
    std::string xName;
    std::string yName;
    std::vector<Sample> records;
    int completeCount = 0;        ///< N: the records without a marker
    std::optional<float> dataMin; ///< smallest X or Y that is not a marker
    std::optional<float> dataMax; ///< largest X or Y that is not a marker
    int fieldsWithoutNumber = 0;  ///< non-empty data fields without any number, read as 0
    std::int64_t firstFieldWithoutNumberLine = 0;
    FileConvention convention{};
};

} // namespace quendrix

namespace quendrix {

/// One record of a file of measurements: the line its X starts on and the values it holds.
struct Measurement {
    std::int64_t line = 0;
    std::optional<float> x; ///< none for an empty field or a marker
    std::optional<float> y;
};

/// A file of measurements, in file order.
struct MeasurementFile {
    std::string xName;
    std::string yName;
    std::vector<Measurement> records;
    int fieldsWithoutNumber = 0;
    std::int64_t firstFieldWithoutNumberLine = 0;
    FileConvention convention{};
};

} // namespace quendrix
