#include "readout/IntervalReadout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

using namespace quendrix;

using Regions = std::vector<std::array<int, 3>>; // first row, last row, class

// The read-out of one column: over the range 0..400 a row offset is its own value.
static IntervalReadout readColumn(const Regions& regions, int mode = NoIndex, int ave = NoIndex,
                                  const char* hi = "400", const char* c1 = "68.2",
                                  const char* c2 = "95.4") {
    const int c = 250;
    auto d = std::make_unique<DetailMatrices>();
    for (const auto& [first, last, cls] : regions) {
        for (int r = first; r <= last; ++r) {
            d->fineConfi[size_t(c * FineSize + r)] = float(cls);
        }
    }
    d->fineMode[c] = mode;
    d->fineAve[c] = ave;
    return readIntervals(*d, c, "0", hi, c1, c2);
}

TEST(IntervalReadout, IntervalsOfBothRegionsAndTheirOpenEnds) {
    // Region 1 is class 2 and up (by magnitude), region 2 class 1 and up. An interval starts at
    // offset 0 only with row 50 inside, open ("?") with row 49 too; likewise rows 450 and 451.
    const std::pair<Regions, std::string> cases[] = {
        {{{90, 160, 1}, {100, 150, 2}, {120, 120, -2}, {300, 320, 2}},
         "50 - 100|250 - 270|95.4 %|40 - 110|250 - 270"},
        {{}, "95.4 %"},
        {{{40, 60, 2}, {440, 460, 2}}, "? - 10|390 - ?|95.4 %|? - 10|390 - ?"},
        {{{50, 60, 1}, {445, 450, 1}}, "95.4 %|0 - 10|395 - 400"},
        {{{30, 49, 2}, {70, 80, 2}, {451, 470, 2}}, "20 - 30|95.4 %|20 - 30"},
        {{{0, 501, 2}}, "? - ?|95.4 %|? - ?"}};
    for (const auto& [regions, expected] : cases) {
        const IntervalReadout r = readColumn(regions);
        std::string panel;
        for (const std::string& line : r.panelLines()) {
            panel += (panel.empty() ? "" : "|") + line;
        }
        EXPECT_EQ(panel, "68.2 %|" + expected + "|Average|Out of range|Mode|Out of range");
        // One open flag for each "?" end, whatever was read before.
        const int open = r.bottomOpen[0] + r.topOpen[0] + r.bottomOpen[1] + r.topOpen[1];
        EXPECT_EQ(open, std::ranges::count(expected, '?')) << expected;
    }

    Regions many; // 20 one-row regions, the first 11 are kept
    for (int row = 60; row <= 98; row += 2) {
        many.push_back({row, row, 1});
    }
    const IntervalReadout m = readColumn(many);
    ASSERT_EQ(m.intervals[1].size(), 11u);
    EXPECT_EQ(m.intervals[1].back().low, "30");
}

TEST(IntervalReadout, ModeAndAverageAtTheEdgesFormattedReadingsAndSectionColumns) {
    // Range 0..100 (offset s reads s / 4): mode and average rows; marks ("-": none) and texts.
    // An average below the rows shown still prints, row 0 is none; a mode at 0 or 400 only marks.
    // clang-format off
    const std::tuple<int, int, const char*> cases[] = {
        {50, 30, "0 Out of range|- -5"}, {450, 450, "400 Out of range|400 Out of range"},
        {51, 449, "1 0.25|399  99.8"}, {0, 1, "- Out of range|- -12.2"}, {250, 50, "200 50|0  0"},
        {250, 0, "200 50|- Out of range"}, {NoIndex, NoIndex, "- Out of range|- Out of range"}};
    // clang-format on
    auto line = [](std::optional<int> mark, const std::string& text) {
        return (mark ? std::to_string(*mark) : std::string("-")) + " " + text;
    };
    for (const auto& [mode, ave, expected] : cases) {
        const IntervalReadout r = readColumn({}, mode, ave, "100");
        EXPECT_EQ(line(r.modeMark, r.modeText) + "|" + line(r.averageMark, r.averageText),
                  expected);
    }

    // Halves up; 2, 1 or 0 decimals by magnitude. 2.0049999999 is the single 2.00500011: 2.01.
    const std::pair<double, const char*> readings[] = {
        {0.125, "0.13"}, {-0.125, "-0.12"},     {-2.5, "-2.5"},   {9.999, "10"},
        {10.25, "10.3"}, {999.96, "1000"},      {1002.5, "1003"}, {123456.7, "123457"},
        {0, "0"},        {2.0049999999, "2.01"}};
    for (const auto& [x, text] : readings) {
        EXPECT_EQ(formatReading(x), text) << x;
    }
    EXPECT_EQ((std::array{sectionColumn(0), sectionColumn(1), sectionColumn(100)}),
              (std::array{50, 54, 450}));
}

TEST(IntervalReadout, CoefficientOneAboveTwoReadsTheWiderRegionAsItsOwn) {
    // Classes count levels: class 2 is the narrower region whichever coefficient made it.
    const IntervalReadout r =
        readColumn({{90, 160, 1}, {100, 150, 2}}, NoIndex, NoIndex, "400", "95.4", "68.2");
    ASSERT_EQ(r.intervals[0].size(), 1u);
    ASSERT_EQ(r.intervals[1].size(), 1u);
    EXPECT_EQ(r.intervals[0][0].low + " - " + r.intervals[0][0].high, "40 - 110");
    EXPECT_EQ(r.intervals[1][0].low + " - " + r.intervals[1][0].high, "50 - 100");
    EXPECT_EQ(r.header1, "95.4 %");
}
