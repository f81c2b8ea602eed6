#include "readout/IntervalReadout.h"

#include "base/NumberText.h"
#include "pipeline/ConfidenceRegions.h"

#include <cmath>

namespace quendrix {

std::string formatReading(double x) {
    const double v = float(x);
    const int decimals = std::fabs(v) < 10 ? 2 : std::fabs(v) < 1000 ? 1 : 0;
    return shortestText(roundHalfUp(v, decimals));
}

int sectionColumn(int sectionPercent) {
    return int(roundHalfEven(sectionPercent * 400 / 100.0)) + FineFirst;
}

std::vector<std::string> IntervalReadout::panelLines() const {
    std::vector<std::string> lines{header1};
    for (const auto& in : intervals[0]) {
        lines.push_back(in.low + " - " + in.high);
    }
    lines.push_back(header2);
    for (const auto& in : intervals[1]) {
        lines.push_back(in.low + " - " + in.high);
    }
    lines.push_back("Average");
    lines.push_back(averageText);
    lines.push_back("Mode");
    lines.push_back(modeText);
    return lines;
}

IntervalReadout readIntervals(const DetailMatrices& d, int column, const std::string& lowerText,
                              const std::string& upperText, const std::string& coefficient1Text,
                              const std::string& coefficient2Text) {
    IntervalReadout out;
    const double lo = leadingNumber(lowerText);
    const double hi = leadingNumber(upperText);
    auto valueAt = [lo, hi](int offset) { return lo + (hi - lo) * offset / 400; };
    auto q = [&d, column](int row) { return std::fabs(d.confi(column, row)); };

    // The classes count levels: class 2 is the narrower region, so coefficient 1's intervals
    // are those of class 2 only while coefficient 1 is the smaller.
    const bool firstIsNarrow = firstCoefficientIsNarrower(leadingNumber(coefficient1Text),
                                                          leadingNumber(coefficient2Text));
    const std::array<float, 2> thresholds =
        firstIsNarrow ? std::array<float, 2>{2.0f, 1.0f} : std::array<float, 2>{1.0f, 2.0f};
    for (size_t k = 0; k < 2; ++k) {
        const float t = thresholds[k];
        auto& list = out.intervals[k];
        int start = 0;
        bool open = false;
        for (int r = FineFirst; r <= FineLast; ++r) {
            if (q(r) >= t && (r == FineFirst || q(r - 1) < t)) {
                start = r - FineFirst;
                open = true;
                if (r == FineFirst && q(r - 1) >= t) {
                    out.bottomOpen[k] = true;
                }
            }
            if (open && q(r) >= t && (r == FineLast || q(r + 1) < t)) {
                if (r == FineLast && q(r + 1) >= t) {
                    out.topOpen[k] = true;
                }
                if (int(list.size()) < IntervalReadout::MaxIntervals) {
                    list.push_back({start, r - FineFirst, "", ""});
                }
                open = false;
            }
        }
        for (auto& in : list) {
            in.low = formatReading(valueAt(in.start));
            in.high = formatReading(valueAt(in.end));
        }
        if (!list.empty() && out.bottomOpen[k] && list.front().start == 0) {
            list.front().low.assign(1, '?');
            list.front().runsOnBelow = true;
        }
        if (!list.empty() && out.topOpen[k] && list.back().end == 400) {
            list.back().high.assign(1, '?');
            list.back().runsOnAbove = true;
        }
    }

    const int m = d.fineMode[size_t(column)] - FineFirst;
    if (m >= 0 && m < 401) {
        out.modeMark = m;
    }
    out.modeInRange = m > 0 && m < 400;
    out.modeText = out.modeInRange ? formatReading(valueAt(m)) : "Out of range";

    const int a = d.fineAve[size_t(column)] - FineFirst;
    if (a >= 0 && a < 401) {
        out.averageMark = a;
    }
    out.averageInRange = d.fineAve[size_t(column)] > 0 && a < 400;
    if (out.averageInRange) {
        const double average = leadingNumber(formatReading(valueAt(a)));
        out.averageText = shortestText(average);
        if (average >= 0) {
            out.averageText.insert(out.averageText.begin(), ' ');
        }
    } else {
        out.averageText = "Out of range";
    }

    out.header1 = coefficient1Text + " %";
    out.header2 = coefficient2Text + " %";
    return out;
}

} // namespace quendrix
