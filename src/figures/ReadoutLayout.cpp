#include "figures/ReadoutLayout.h"

#include "ui/Text.h"

#include <array>

namespace quendrix {
namespace {

// Offsets right of the section, in twips: the brackets of coefficients 1 and 2, and the marks.
constexpr std::array<double, 2> BracketOffset{400, 205};
constexpr double MarkFrom = 35;
constexpr double MarkTo = 500;
constexpr double Tick = 50;
constexpr double Reach = 15; // a region's outer ticks reach past its bracket

constexpr double Pitch = 240; // twips per panel line
constexpr double HeaderX = 120;
constexpr double ValueX = 180;

} // namespace

std::vector<ReadoutStroke> readoutStrokes(const IntervalReadout& r, const SectionFrame& f) {
    std::vector<ReadoutStroke> out;
    const QColor black(0, 0, 0);
    auto horizontal = [&](double from, double to, double s, const QColor& colour) {
        out.push_back({QLineF(f.x(from), f.y(s), f.x(to), f.y(s)), colour});
    };
    for (size_t k = 0; k < 2; ++k) {
        const auto& list = r.intervals[k];
        const double x = BracketOffset[k];
        for (size_t n = 0; n < list.size(); ++n) {
            const bool first = n == 0;
            const bool last = n + 1 == list.size();
            if (!(first && r.bottomOpen[k])) {
                horizontal(x - Tick, first ? x + Reach : x, list[n].start, black);
            }
            out.push_back({QLineF(f.x(x), f.y(list[n].start), f.x(x),
                                  f.y(list[n].end) - Reach * f.pixelsPerTwip),
                           black});
            if (!(last && r.topOpen[k])) {
                horizontal(x - Tick, last ? x + Reach : x, list[n].end, black);
            }
        }
    }
    if (r.modeMark) {
        horizontal(MarkFrom, MarkTo, *r.modeMark, QColor(255, 0, 0));
    }
    if (r.averageMark) {
        horizontal(MarkFrom, MarkTo, *r.averageMark, QColor(0, 0, 255));
    }
    return out;
}

std::vector<PanelLine> panelLayout(const IntervalReadout& r) {
    const std::vector<std::string> texts = r.panelLines();
    const double n0 = double(r.intervals[0].size());
    const double n1 = double(r.intervals[1].size());
    std::vector<PanelLine> out;
    size_t next = 0;
    auto add = [&](bool bold, double x, double y) {
        out.push_back({ui::qs(texts[next++]), bold, x / Pitch, y / Pitch});
    };
    add(true, HeaderX, 120);
    for (double i = 0; i < n0; ++i) {
        add(false, ValueX, 360 + i * Pitch);
    }
    add(true, HeaderX, 360 + (n0 + 0.5) * Pitch);
    for (double i = 0; i < n1; ++i) {
        add(false, ValueX, 360 + (n0 + 1.5 + i) * Pitch);
    }
    add(true, HeaderX, 360 + (n0 + n1 + 2) * Pitch);
    // A number stands at the header's indent (its sign or blank first), the words further in.
    add(false, r.averageInRange ? HeaderX : ValueX, 360 + (n0 + n1 + 3) * Pitch);
    add(true, HeaderX, 360 + (n0 + n1 + 4.5) * Pitch);
    add(false, ValueX, 360 + (n0 + n1 + 5.5) * Pitch);
    return out;
}

} // namespace quendrix
