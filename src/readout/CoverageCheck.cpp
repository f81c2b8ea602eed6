#include "readout/CoverageCheck.h"

#include "base/NumberText.h"
#include "pipeline/ConfidenceRegions.h"
#include "readout/JsonText.h"
#include "readout/Prediction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quendrix {
namespace {

struct Counted {
    float x;
    bool in1;
    bool in2;
};

std::string percent(int part, int whole) {
    if (whole == 0) {
        return "-";
    }
    return fixedText(100.0 * part / whole, 1) + " %";
}

/// The share with its interval and verdict, for the table: "67.1 - 79.4 % above".
std::string judged(int part, int whole, double coefficient) {
    const std::optional<ShareInterval> i = wilsonInterval(part, whole);
    if (!i) {
        return "-";
    }
    return fixedText(100 * i->low, 1) + " - " + fixedText(100 * i->high, 1) + " % " +
           verdict(*i, coefficient);
}

std::string intervalJson(int part, int whole, double coefficient) {
    const std::optional<ShareInterval> i = wilsonInterval(part, whole);
    if (!i) {
        return "null";
    }
    JsonObject o;
    o.number("low", i->low);
    o.number("high", i->high);
    o.text("verdict", verdict(*i, coefficient));
    return o.str();
}

} // namespace

std::optional<ShareInterval> wilsonInterval(int part, int whole) {
    if (whole <= 0) {
        return std::nullopt;
    }
    constexpr double z = 1.959963984540054; // the 97.5 % point of the standard normal
    const double n = whole;
    const double p = part / n;
    const double scale = 1 + z * z / n;
    const double centre = (p + z * z / (2 * n)) / scale;
    const double half = z / scale * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n));
    return ShareInterval{std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

std::string verdict(const ShareInterval& interval, double coefficientPercent) {
    const double nominal = coefficientPercent / 100;
    return interval.high < nominal ? "below" : interval.low > nominal ? "above" : "consistent";
}

CoverageReport checkCoverage(const DetailMatrices& d, const std::vector<Measurement>& pairs,
                             double lower, double upper, double coefficient1, double coefficient2) {
    CoverageReport r;
    r.nominal1 = coefficient1;
    r.nominal2 = coefficient2;
    std::vector<Counted> counted;
    for (const Measurement& m : pairs) {
        if (!m.x || !m.y) {
            ++r.incomplete;
            continue;
        }
        const std::optional<int> column = fineColumnOf(*m.x, lower, upper);
        if (!column) {
            ++r.outsideRange;
            continue;
        }
        float top = 0;
        for (int row = 0; row < FineSize; ++row) {
            top = std::max(top, std::fabs(d.confi(*column, row)));
        }
        if (top < 1) {
            ++r.noRegion;
            continue;
        }
        // A Y beyond the fine grid lies outside every region.
        const double offset = (*m.y - lower) / (upper - lower) * 400;
        const double row = FineFirst + roundHalfEven(offset);
        const float q = row >= 0 && row < FineSize ? std::fabs(d.confi(*column, int(row))) : 0;
        // The classes count levels: class 2 is the narrower region, whichever coefficient
        // made it.
        const bool narrow = q >= 2, wide = q >= 1;
        const bool firstIsNarrow = firstCoefficientIsNarrower(coefficient1, coefficient2);
        counted.push_back({*m.x, firstIsNarrow ? narrow : wide, firstIsNarrow ? wide : narrow});
    }

    std::stable_sort(counted.begin(), counted.end(),
                     [](const Counted& a, const Counted& b) { return a.x < b.x; });
    const size_t n = counted.size();
    for (size_t k = 0; k < 10 && n > 0; ++k) {
        const size_t from = k * n / 10;
        const size_t to = (k + 1) * n / 10;
        if (from == to) {
            continue;
        }
        CoverageBin bin;
        bin.xFrom = counted[from].x;
        bin.xTo = counted[to - 1].x;
        for (size_t i = from; i < to; ++i) {
            ++bin.pairs;
            bin.inRegion1 += counted[i].in1 ? 1 : 0;
            bin.inRegion2 += counted[i].in2 ? 1 : 0;
        }
        r.pairs += bin.pairs;
        r.inRegion1 += bin.inRegion1;
        r.inRegion2 += bin.inRegion2;
        r.deciles.push_back(bin);
    }
    return r;
}

std::string coverageTable(const CoverageReport& r) {
    char line[240];
    std::string out;
    const std::string c1 = shortestText(r.nominal1) + " %", c2 = shortestText(r.nominal2) + " %";
    std::snprintf(line, sizeof line, "%-22s %8s %16s %16s   %-26s %s\n", "", "pairs",
                  (c1 + " region").c_str(), (c2 + " region").c_str(),
                  ("interval (" + c1 + ")").c_str(), ("interval (" + c2 + ")").c_str());
    out += line;
    auto row = [&](const std::string& name, int pairs, int in1, int in2) {
        std::snprintf(line, sizeof line, "%-22s %8d %16s %16s   %-26s %-26s", name.c_str(), pairs,
                      percent(in1, pairs).c_str(), percent(in2, pairs).c_str(),
                      judged(in1, pairs, r.nominal1).c_str(),
                      judged(in2, pairs, r.nominal2).c_str());
        std::string text = line;
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    };
    row("all", r.pairs, r.inRegion1, r.inRegion2);
    for (const CoverageBin& b : r.deciles) {
        row("x " + shortestText(b.xFrom) + " .. " + shortestText(b.xTo), b.pairs, b.inRegion1,
            b.inRegion2);
    }
    out += "not counted: " + std::to_string(r.noRegion) + " in columns without a region, " +
           std::to_string(r.outsideRange) + " outside the range, " + std::to_string(r.incomplete) +
           " without X or Y\n";
    out += "interval: 95 % confidence interval of the share (Wilson score); consistent when it "
           "holds the coefficient, below or above when all of it is\n";
    return out;
}

std::string coverageJson(const CoverageReport& r) {
    JsonObject o;
    o.number("nominal1", r.nominal1);
    o.number("nominal2", r.nominal2);
    o.number("pairs", r.pairs);
    o.raw("share1", jsonShare(r.inRegion1, r.pairs));
    o.raw("share2", jsonShare(r.inRegion2, r.pairs));
    o.number("no_region", r.noRegion);
    o.number("outside_range", r.outsideRange);
    o.number("incomplete", r.incomplete);
    std::string bins = "[";
    for (const CoverageBin& b : r.deciles) {
        JsonObject bin;
        bin.raw("x_from", shortestText(b.xFrom));
        bin.raw("x_to", shortestText(b.xTo));
        bin.number("pairs", b.pairs);
        bin.raw("share1", jsonShare(b.inRegion1, b.pairs));
        bin.raw("share2", jsonShare(b.inRegion2, b.pairs));
        bin.raw("interval1", intervalJson(b.inRegion1, b.pairs, r.nominal1));
        bin.raw("interval2", intervalJson(b.inRegion2, b.pairs, r.nominal2));
        if (bins.size() > 1) {
            bins += ',';
        }
        bins += bin.str();
    }
    o.raw("deciles", bins + "]");
    // New fields go last, so that readers of the earlier ones find them where they were.
    o.raw("interval1", intervalJson(r.inRegion1, r.pairs, r.nominal1));
    o.raw("interval2", intervalJson(r.inRegion2, r.pairs, r.nominal2));
    return o.str() + "\n";
}

} // namespace quendrix
