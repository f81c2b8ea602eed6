#pragma once

#include "base/NumberText.h"
#include "base/Result.h"
#include "data/DataFile.h"

#include <string>

namespace quendrix::test {

/// A read data file in one line ("x|y N=2 1,2 3,4 [1..4]"), or why it was refused.
inline std::string describe(const Result<DataFile>& f) {
    if (!f) {
        return f.reason();
    }
    std::string out = f->xName + "|" + f->yName + " N=" + std::to_string(f->completeCount);
    for (const Sample& s : f->records) {
        out.append(" ").append(shortestText(s.x)).append(",").append(shortestText(s.y));
    }
    if (f->dataMin) {
        out += " [" + shortestText(*f->dataMin) + ".." + shortestText(f->dataMax.value()) + "]";
    }
    return out;
}

/// A read file of measurements in one line ("X|Y 2:1,2 4:-,3", "-" for no value), or the refusal.
inline std::string describe(const Result<MeasurementFile>& f) {
    if (!f) {
        return f.reason();
    }
    std::string out = f->xName + "|" + f->yName;
    for (const Measurement& m : f->records) {
        out.append(" ").append(std::to_string(m.line)).append(":");
        out.append(m.x ? shortestText(*m.x) : "-").append(",");
        out.append(m.y ? shortestText(*m.y) : "-");
    }
    return out;
}

} // namespace quendrix::test
