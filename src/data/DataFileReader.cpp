#include "data/DataFileReader.h"

#include "data/ByteSource.h"
#include "data/FieldScanner.h"
#include "data/ReaderCommon.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace quendrix {
namespace {

/// A data field read with the leading-number rule (`hasNumber` and `number`, read from the
/// field's text); a field without any number reads as 0 and is counted, so the user hears of
/// it.
float fieldValue(bool hasNumber, double number, std::int64_t line, DataFile& file) {
    if (!hasNumber) {
        countFieldWithoutNumber(file, line);
        return 0;
    }
    return float(number);
}

Result<DataFile> parse(ByteSource& source, std::int64_t firstLine) {
    DataFile file;
    FieldScanner scanner(source, firstLine);
    if (!scanner.startText()) {
        return Failure{NotText};
    }
    file.convention = scanner.convention();
    const bool decimalComma = file.convention.decimalComma;

    // Fields are read in place where they can be; X is read as a number before Y is read, as
    // reading Y may replace the block X lies in.
    std::string firstStorage;
    std::string secondStorage;
    bool header = true;
    auto refusal = [&](std::int64_t line, const std::string& what) -> Result<DataFile> {
        if (std::string error = source.error(); !error.empty()) {
            return Failure{error};
        }
        if (!scanner.fault().empty()) {
            return atLine(scanner.faultLine(), scanner.fault());
        }
        return atLine(line, what);
    };
    // Every record takes at least four bytes ("1,2" and a separator): room for as many as the
    // input can hold, up to the limit, so the records are never moved while they are read.
    file.records.reserve(std::min(size_t(MaxRecords), source.sizeHint() / 4));
    // The range of the values that are no marker, kept here and stored once at the end.
    while (!scanner.atEnd()) {
        const bool full = !header && int(file.records.size()) == MaxRecords;
        const std::int64_t xLine = scanner.line();
        // A plain decimal stays below 2^53, so it is finite as a single too.
        if (double x, y; !header && !full && scanner.nextPlainRecord(x, y)) {
            file.records.push_back({float(x), float(y)});
            continue;
        }
        std::string_view first;
        const bool read = scanner.next(first, firstStorage);
        // Only a record is one too many: a blank last line is refused as at any other count.
        if (full && !(read && first.empty())) {
            return atLine(xLine, "more than " + std::to_string(MaxRecords) + " records");
        }
        if (!read) {
            return refusal(xLine, "the file ends in the middle of a record");
        }
        // A blank last line is an empty X value, not a record cut short.
        if (!header && first.empty()) {
            return refusal(xLine, "empty X value");
        }
        std::string xName;
        double xNumber = 0;
        bool xHasNumber = false;
        if (header) {
            xName = first;
        } else {
            xHasNumber = readFieldNumber(first, decimalComma, xNumber);
        }
        const std::int64_t yLine = scanner.line();
        std::string_view second;
        if (!scanner.next(second, secondStorage)) {
            return refusal(xLine, "the file ends in the middle of a record");
        }
        if (header) {
            file.xName = std::move(xName);
            file.yName = second;
            header = false;
            continue;
        }
        if (second.empty()) {
            return refusal(yLine, "empty Y value");
        }
        Sample s;
        s.x = fieldValue(xHasNumber, xNumber, xLine, file);
        if (!std::isfinite(s.x)) {
            return atLine(xLine, "value out of range");
        }
        double yNumber = 0;
        const bool yHasNumber = readFieldNumber(second, decimalComma, yNumber);
        s.y = fieldValue(yHasNumber, yNumber, yLine, file);
        if (!std::isfinite(s.y)) {
            return atLine(yLine, "value out of range");
        }
        file.records.push_back(s);
    }
    if (std::string error = source.error(); !error.empty()) {
        return Failure{error};
    }
    recount(file);
    return file;
}

} // namespace

Result<DataFile> parseDataFile(std::string_view bytes, size_t blockSize, std::int64_t firstLine) {
    MemorySource source(bytes, blockSize);
    return parse(source, firstLine);
}

Result<DataFile> readDataFile(const std::string& path) {
    return readFile<Result<DataFile>>(path, [](ByteSource& source) { return parse(source, 1); });
}

void recount(DataFile& file) {
    file.completeCount = 0;
    file.dataMin.reset();
    file.dataMax.reset();
    for (const Sample& s : file.records) {
        for (float v : {s.x, s.y}) {
            if (v == MissingValue) {
                continue;
            }
            if (!file.dataMin || v < *file.dataMin) {
                file.dataMin = v;
            }
            if (!file.dataMax || v > *file.dataMax) {
                file.dataMax = v;
            }
        }
        file.completeCount += s.complete() ? 1 : 0;
    }
}

std::string conventionNote(const FileConvention& convention) {
    if (convention == FileConvention{}) {
        return {};
    }
    std::string note = convention.separator == FieldSeparator::Semicolon
                           ? "read as semicolon-separated"
                       : convention.separator == FieldSeparator::Tab ? "read as tab-separated"
                                                                     : "read as comma-separated";
    if (convention.decimalComma) {
        note += ", decimal comma";
    }
    return note;
}

std::string fieldsWithoutNumberWarning(const std::string& fileLabel, int count,
                                       std::int64_t firstLine) {
    if (count == 0) {
        return {};
    }
    return fileLabel + ": " + std::to_string(count) +
           (count == 1 ? " field without a number was" : " fields without a number were") +
           " read as 0 (first on line " + std::to_string(firstLine) + ")";
}

std::string importWarning(int f, const DataFile& file) {
    return fieldsWithoutNumberWarning("File " + std::to_string(f + 1), file.fieldsWithoutNumber,
                                      file.firstFieldWithoutNumberLine);
}

} // namespace quendrix
