// Feeds arbitrary bytes to the data file reader: it must either refuse them with a line-numbered
// reason or return a file whose counts and bounds agree with its records.

#include "data/DataFileReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quendrix;
    const Result<DataFile> read =
        parseDataFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read) {
        require(read.reason().starts_with("line ") ||
                read.reason() == "not a text file in UTF-8 or ASCII");
        return 0;
    }
    const DataFile& file = read.value();
    require(file.records.size() <= size_t(MaxRecords));
    require(file.completeCount >= 0 && size_t(file.completeCount) <= file.records.size());
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
