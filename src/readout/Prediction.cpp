#include "readout/Prediction.h"

#include "base/NumberText.h"
#include "readout/IntervalReadout.h"
#include "readout/JsonText.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quendrix {

const char* statusText(Prediction::Kind kind) {
    switch (kind) {
    case Prediction::Kind::Read:
        return "ok";
    case Prediction::Kind::NoRegion:
        return "no region";
    case Prediction::Kind::OutsideRange:
        return "outside range";
    case Prediction::Kind::Skipped:
        break;
    }
    return "skipped";
}

namespace {

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

Predictor::Predictor(const DetailMatrices& d, ReadoutLabels labels, bool fullPrecision)
    : detail_(d), labels_(std::move(labels)), fullPrecision_(fullPrecision),
      lower_(leadingNumber(labels_.lowerText)), upper_(leadingNumber(labels_.upperText)),
      sections_(static_cast<size_t>(FineSize)) {}

const Prediction& Predictor::section(int column) {
    std::optional<Prediction>& read = sections_[size_t(column)];
    if (read) {
        return *read;
    }
    auto exact = [this](int offset) {
        return shortestText(lower_ + (upper_ - lower_) * offset / 400);
    };
    Prediction& p = read.emplace();
    const IntervalReadout r = readIntervals(detail_, column, labels_.lowerText, labels_.upperText,
                                            labels_.coefficient1Text, labels_.coefficient2Text);
    for (size_t k = 0; k < 2; ++k) {
        for (const ReadoutInterval& in : r.intervals[k]) {
            if (fullPrecision_) {
                p.intervals[k].emplace_back(in.runsOnBelow ? in.low : exact(in.start),
                                            in.runsOnAbove ? in.high : exact(in.end));
            } else {
                p.intervals[k].emplace_back(in.low, in.high);
            }
        }
    }
    p.kind = p.intervals[0].empty() && p.intervals[1].empty() ? Prediction::Kind::NoRegion
                                                              : Prediction::Kind::Read;
    if (fullPrecision_) {
        p.average = r.averageInRange ? exact(*r.averageMark) : r.averageText;
        p.mode = r.modeInRange ? exact(*r.modeMark) : r.modeText;
    } else {
        // The panel pads a non-negative average with a blank to line it up.
        p.average = r.averageInRange && r.averageText.starts_with(' ') ? r.averageText.substr(1)
                                                                       : r.averageText;
        p.mode = r.modeText;
    }
    return p;
}

Prediction Predictor::operator()(const Measurement& m) {
    const std::optional<int> column = m.x ? fineColumnOf(*m.x, lower_, upper_) : std::nullopt;
    Prediction p;
    if (column) {
        p = section(*column);
    } else {
        p.kind = m.x ? Prediction::Kind::OutsideRange : Prediction::Kind::Skipped;
    }
    p.line = m.line;
    p.x = m.x;
    return p;
}

void PredictionCounts::add(Prediction::Kind kind) {
    switch (kind) {
    case Prediction::Kind::Read:
        ++read;
        break;
    case Prediction::Kind::NoRegion:
        ++noRegion;
        break;
    case Prediction::Kind::OutsideRange:
        ++outsideRange;
        break;
    case Prediction::Kind::Skipped:
        ++skipped;
        break;
    }
}

std::vector<Prediction> predict(const DetailMatrices& d, const std::vector<Measurement>& records,
                                const ReadoutLabels& labels, bool fullPrecision) {
    Predictor predictor(d, labels, fullPrecision);
    std::vector<Prediction> out;
    out.reserve(records.size());
    for (const Measurement& m : records) {
        out.push_back(predictor(m));
    }
    return out;
}

std::string predictionsCsvHeader() {
    return "line,x,status,average,mode,c1_intervals,c2_intervals\n";
}

std::string predictionCsvLine(const Prediction& p) {
    return std::to_string(p.line) + ',' + xText(p) + ',' + statusText(p.kind) + ',' + p.average +
           ',' + p.mode + ',' + joined(p.intervals[0]) + ',' + joined(p.intervals[1]) + '\n';
}

std::string predictionsCsv(const std::vector<Prediction>& predictions) {
    std::string out = predictionsCsvHeader();
    for (const Prediction& p : predictions) {
        out += predictionCsvLine(p);
    }
    return out;
}

std::string predictionJsonLine(const Prediction& p) {
    JsonObject o;
    o.raw("line", std::to_string(p.line));
    if (p.x) {
        o.raw("x", shortestText(*p.x));
    } else {
        o.raw("x", "null");
    }
    o.text("status", statusText(p.kind));
    if (p.kind == Prediction::Kind::Read || p.kind == Prediction::Kind::NoRegion) {
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
    return o.str() + '\n';
}

std::string predictionsJsonLines(const std::vector<Prediction>& predictions) {
    std::string out;
    for (const Prediction& p : predictions) {
        out += predictionJsonLine(p);
    }
    return out;
}

} // namespace quendrix
