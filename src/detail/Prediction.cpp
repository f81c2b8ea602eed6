#include "detail/Prediction.h"

#include "base/NumberText.h"
#include "detail/IntervalReadout.h"
#include "detail/JsonText.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

const char* statusText(Prediction::Kind kind) {
    switch (kind) {
    case Prediction::Kind::Read:
        return "ok";
    case Prediction::Kind::OutsideRange:
        return "outside range";
    case Prediction::Kind::Skipped:
        break;
    }
    return "skipped";
}

std::string joined(const std::vector<std::pair<std::string, std::string>>& intervals) {
    std::string out;
    for (const auto& [low, high] : intervals) {
        if (!out.empty()) {
            out += ';';
        }
        out += low + ".." + high;
    }
    return out;
}

std::string xText(const Prediction& p) {
    return p.x ? shortestText(*p.x) : std::string();
}

} // namespace

std::optional<int> fineColumnOf(double x, double lower, double upper) {
    if (!std::isfinite(x) || lower == upper || x < std::min(lower, upper) ||
        x > std::max(lower, upper)) {
        return std::nullopt;
    }
    return FineFirst + int(roundHalfEven((x - lower) / (upper - lower) * 400));
}

std::vector<Prediction> predict(const DetailMatrices& d, const std::vector<Measurement>& records,
                                const ReadoutLabels& labels, bool fullPrecision) {
    const double lo = leadingNumber(labels.lowerText);
    const double hi = leadingNumber(labels.upperText);
    auto exact = [lo, hi](int offset) { return shortestText(lo + (hi - lo) * offset / 400); };
    // There are only 401 sections, and many measurements share one: each is read off once.
    std::vector<std::optional<Prediction>> sections(static_cast<size_t>(FineSize));
    auto readSection = [&](int column) -> const Prediction& {
        std::optional<Prediction>& read = sections[size_t(column)];
        if (read) {
            return *read;
        }
        Prediction& p = read.emplace();
        p.kind = Prediction::Kind::Read;
        const IntervalReadout r = readIntervals(d, column, labels.lowerText, labels.upperText,
                                                labels.coefficient1Text, labels.coefficient2Text);
        for (size_t k = 0; k < 2; ++k) {
            for (const ReadoutInterval& in : r.intervals[k]) {
                if (fullPrecision) {
                    p.intervals[k].emplace_back(in.low == "?" ? in.low : exact(in.start),
                                                in.high == "?" ? in.high : exact(in.end));
                } else {
                    p.intervals[k].emplace_back(in.low, in.high);
                }
            }
        }
        const bool averageShown = r.averageText != "Out of range";
        const bool modeShown = r.modeText != "Out of range";
        if (fullPrecision) {
            p.average = averageShown ? exact(*r.averageMark) : r.averageText;
            p.mode = modeShown ? exact(*r.modeMark) : r.modeText;
        } else {
            // The panel pads a non-negative average with a blank to line it up.
            p.average = averageShown && r.averageText.starts_with(' ') ? r.averageText.substr(1)
                                                                       : r.averageText;
            p.mode = r.modeText;
        }
        return p;
    };

    std::vector<Prediction> out;
    out.reserve(records.size());
    for (const Measurement& m : records) {
        const std::optional<int> column = m.x ? fineColumnOf(*m.x, lo, hi) : std::nullopt;
        Prediction p;
        if (column) {
            p = readSection(*column);
        } else {
            p.kind = m.x ? Prediction::Kind::OutsideRange : Prediction::Kind::Skipped;
        }
        p.line = m.line;
        p.x = m.x;
        out.push_back(std::move(p));
    }
    return out;
}

std::string predictionsCsv(const std::vector<Prediction>& predictions) {
    std::string out = "line,x,status,average,mode,c1_intervals,c2_intervals\n";
    for (const Prediction& p : predictions) {
        out += std::to_string(p.line) + ',' + xText(p) + ',' + statusText(p.kind) + ',' +
               p.average + ',' + p.mode + ',' + joined(p.intervals[0]) + ',' +
               joined(p.intervals[1]) + '\n';
    }
    return out;
}

std::string predictionsJsonLines(const std::vector<Prediction>& predictions) {
    std::string out;
    for (const Prediction& p : predictions) {
        JsonObject o;
        o.number("line", p.line);
        if (p.x) {
            o.raw("x", shortestText(*p.x));
        } else {
            o.raw("x", "null");
        }
        o.text("status", statusText(p.kind));
        if (p.kind == Prediction::Kind::Read) {
            o.text("average", p.average);
            o.text("mode", p.mode);
            for (size_t k = 0; k < 2; ++k) {
                std::string list = "[";
                for (const auto& [low, high] : p.intervals[k]) {
                    if (list.size() > 1) {
                        list += ',';
                    }
                    list += '[';
                    list += jsonString(low);
                    list += ',';
                    list += jsonString(high);
                    list += ']';
                }
                o.raw(k == 0 ? "c1_intervals" : "c2_intervals", list + "]");
            }
        }
        out += o.str() + '\n';
    }
    return out;
}

} // namespace quendrix
