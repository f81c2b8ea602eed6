#include "data/MeasurementFileReader.h"

#include "data/ByteSource.h"
#include "data/FieldScanner.h"
#include "data/ReaderCommon.h"

#include <cmath>
#include <optional>
#include <string>

namespace quendrix {
namespace {

/// A measured value: none for an empty field or a marker; an infinite value refuses the file.
Result<std::optional<float>> measuredValue(const std::string& text, std::int64_t line,
                                           MeasurementFile& file) {
    if (text.empty()) {
        return std::optional<float>{};
    }
    double value = 0;
    if (!readFieldNumber(text, file.convention.decimalComma, value)) {
        countFieldWithoutNumber(file, line);
    }
    const float v = float(value);
    if (!std::isfinite(v)) {
        return atLine(line, "value out of range");
    }
    return v == MissingValue ? std::optional<float>{} : std::optional<float>{v};
}

/// Hands each record to `each` as it is read, keeping none; `file` gets the names and the
/// counters. A false from `each` stops the reading without a fault.
Status streamMeasurements(ByteSource& source, std::int64_t firstLine, MeasurementFile& file,
                          const MeasurementSink& each) {
    FieldScanner scanner(source, firstLine);
    if (!scanner.startText()) {
        return Failure{NotText};
    }
    file.convention = scanner.convention();
    // Reading stops short only at a read error or a faulty field.
    auto refusal = [&]() -> Status {
        if (std::string error = source.error(); !error.empty()) {
            return Failure{error};
        }
        return atLine(scanner.faultLine(), scanner.fault());
    };

    std::string x;
    std::string y;
    bool header = true;
    bool oneColumn = false;
    while (!scanner.atEnd()) {
        const std::int64_t xLine = scanner.line();
        if (!scanner.next(x)) {
            return refusal();
        }
        if (header && scanner.endedLine()) {
            // A header of one name: a column of X values, one a line.
            file.xName = x;
            header = false;
            oneColumn = true;
            continue;
        }
        if (!header && x.empty() && scanner.endedLine()) {
            continue; // a blank line is no record
        }
        const std::int64_t yLine = scanner.line();
        bool hasY = false;
        if (!oneColumn && !scanner.endedLine()) {
            hasY = scanner.next(y);
            if (!hasY && !scanner.fault().empty()) {
                return refusal();
            }
        }
        if (header) {
            file.xName = x;
            file.yName = hasY ? y : std::string();
            header = false;
            continue;
        }
        Measurement m;
        m.line = xLine;
        auto xValue = measuredValue(x, xLine, file);
        if (!xValue) {
            return xValue.failure();
        }
        m.x = xValue.value();
        if (hasY) {
            auto yValue = measuredValue(y, yLine, file);
            if (!yValue) {
                return yValue.failure();
            }
            m.y = yValue.value();
        }
        if (!each(m)) {
            return {};
        }
    }
    if (std::string error = source.error(); !error.empty()) {
        return Failure{error};
    }
    return {};
}

Result<MeasurementFile> parseMeasurements(ByteSource& source, std::int64_t firstLine) {
    MeasurementFile file;
    Status st = streamMeasurements(source, firstLine, file, [&file](const Measurement& m) {
        file.records.push_back(m);
        return true;
    });
    if (!st) {
        return st.failure();
    }
    return file;
}

} // namespace

Result<MeasurementFile> parseMeasurementFile(std::string_view bytes, std::int64_t firstLine) {
    MemorySource source(bytes);
    return parseMeasurements(source, firstLine);
}

Result<MeasurementFile> readMeasurementFile(const std::string& path) {
    return readFile<Result<MeasurementFile>>(
        path, [](ByteSource& source) { return parseMeasurements(source, 1); });
}

Status streamMeasurementFile(const std::string& path, MeasurementFile& file,
                             const MeasurementSink& each) {
    return readFile<Status>(
        path, [&](ByteSource& source) { return streamMeasurements(source, 1, file, each); });
}

} // namespace quendrix
