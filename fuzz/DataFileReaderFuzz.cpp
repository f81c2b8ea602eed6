// Any bytes: refused at a line, or a file that agrees with itself, the same in blocks of any size.

#include "data/DataFileReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace quendrix;

static void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

/// Two readings of the same bytes: the same refusal, or the same file to the bit.
static bool same(const Result<DataFile>& a, const Result<DataFile>& b) {
    if (!a || !b) {
        return !a && !b && a.reason() == b.reason();
    }
    const DataFile &x = a.value(), &y = b.value();
    return x.xName == y.xName && x.yName == y.yName && x.records.size() == y.records.size() &&
           (x.records.empty() || std::memcmp(x.records.data(), y.records.data(),
                                             x.records.size() * sizeof(Sample)) == 0) &&
           x.completeCount == y.completeCount && x.dataMin == y.dataMin && x.dataMax == y.dataMax &&
           x.fieldsWithoutNumber == y.fieldsWithoutNumber &&
           x.firstFieldWithoutNumberLine == y.firstFieldWithoutNumberLine &&
           x.convention == y.convention;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Result<DataFile> read = parseDataFile(bytes);
    // Blocks of 1 to 16 bytes, chosen by the input itself.
    require(same(read, parseDataFile(bytes, size == 0 ? 1 : 1 + data[size - 1] % 16)));
    // A file of measurements shares the fields, so their convention too.
    const Result<MeasurementFile> measured = parseMeasurementFile(bytes);
    require(measured ? !read || measured->convention == read->convention
                     : measured.reason().starts_with("line ") ||
                           measured.reason() == "not a text file in UTF-8 or ASCII");
    if (!read) {
        require(read.reason().starts_with("line ") ||
                read.reason() == "not a text file in UTF-8 or ASCII");
        return 0;
    }
    const DataFile& file = read.value();
    require(file.records.size() <= size_t(MaxRecords));
    require(file.dataMin.has_value() == file.dataMax.has_value());
    require(!file.dataMin || *file.dataMin <= *file.dataMax);
    int complete = 0;
    for (const Sample& s : file.records) {
        require(std::isfinite(s.x) && std::isfinite(s.y));
        complete += s.complete() ? 1 : 0;
        // Markers never widen the bounds; every other value lies within them.
        for (float v : {s.x, s.y}) {
            require(v == MissingValue ||
                    (file.dataMin && *file.dataMin <= v && v <= *file.dataMax));
        }
    }
    require(complete == file.completeCount);
    // Fields read as 0 for want of a number are counted with the line of the first.
    require(file.fieldsWithoutNumber >= 0 &&
            size_t(file.fieldsWithoutNumber) <= 2 * file.records.size());
    require((file.fieldsWithoutNumber == 0) == (file.firstFieldWithoutNumberLine == 0));
    return 0;
}
