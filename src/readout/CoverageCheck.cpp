#include "readout/CoverageCheck.h"

#include "base/NumberText.h"
#include "readout/JsonText.h"
#include "readout/Prediction.h"

#include <algorithm>
#include <charconv>
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
    // to_chars, unlike printf, never writes the locale's decimal comma.
    char text[32];
    auto end =
        std::to_chars(text, text + sizeof text, 100.0 * part / whole, std::chars_format::fixed, 1)
            .ptr;
    return std::string(text, end) + " %";
}

std::string share(int part, int whole) {
    return whole == 0 ? std::string("null") : shortestText(double(part) / whole);
}

} // namespace

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
        counted.push_back({*m.x, q >= 2, q >= 1});
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
    char line[160];
    std::string out;
    std::snprintf(line, sizeof line, "%-22s %8s %16s %16s\n", "", "pairs",
                  (shortestText(r.nominal1) + " % region").c_str(),
                  (shortestText(r.nominal2) + " % region").c_str());
    out += line;
    std::snprintf(line, sizeof line, "%-22s %8d %16s %16s\n", "all", r.pairs,
                  percent(r.inRegion1, r.pairs).c_str(), percent(r.inRegion2, r.pairs).c_str());
    out += line;
    for (const CoverageBin& b : r.deciles) {
        const std::string span = "x " + shortestText(b.xFrom) + " .. " + shortestText(b.xTo);
        std::snprintf(line, sizeof line, "%-22s %8d %16s %16s\n", span.c_str(), b.pairs,
                      percent(b.inRegion1, b.pairs).c_str(), percent(b.inRegion2, b.pairs).c_str());
        out += line;
    }
    out += "not counted: " + std::to_string(r.noRegion) + " in columns without a region, " +
           std::to_string(r.outsideRange) + " outside the range, " + std::to_string(r.incomplete) +
           " without X or Y\n";
    return out;
}

std::string coverageJson(const CoverageReport& r) {
    JsonObject o;
    o.number("nominal1", r.nominal1);
    o.number("nominal2", r.nominal2);
    o.number("pairs", r.pairs);
    o.raw("share1", share(r.inRegion1, r.pairs));
    o.raw("share2", share(r.inRegion2, r.pairs));
    o.number("no_region", r.noRegion);
    o.number("outside_range", r.outsideRange);
    o.number("incomplete", r.incomplete);
    std::string bins = "[";
    for (const CoverageBin& b : r.deciles) {
        JsonObject bin;
        bin.raw("x_from", shortestText(b.xFrom));
        bin.raw("x_to", shortestText(b.xTo));
        bin.number("pairs", b.pairs);
        bin.raw("share1", share(b.inRegion1, b.pairs));
        bin.raw("share2", share(b.inRegion2, b.pairs));
        if (bins.size() > 1) {
            bins += ',';
        }
        bins += bin.str();
    }
    o.raw("deciles", bins + "]");
    return o.str() + "\n";
}

} // namespace quendrix
