#include "detail/IntervalReadout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

using namespace quendrix;

namespace {

using Lines = std::vector<std::string>;

struct Column {
    std::unique_ptr<DetailMatrices> d = std::make_unique<DetailMatrices>();
    int c = 250;
    Column& set(int firstRow, int lastRow, float cls) {
        for (int r = firstRow; r <= lastRow; ++r) {
            d->fineConfi[size_t(c * FineSize + r)] = cls;
        }
        return *this;
    }
    // Range 0..400 makes a row offset its own value; 0..100 gives offset / 4.
    IntervalReadout read(int mode = NoIndex, int ave = NoIndex, const char* hi = "400") {
        d->fineMode[size_t(c)] = mode;
        d->fineAve[size_t(c)] = ave;
        return readIntervals(*d, c, "0", hi, "68.2", "95.4");
    }
};

Lines panel(Lines coefficient1, Lines coefficient2, std::string ave, std::string mode) {
    Lines out{"68.2 %"};
    out.insert(out.end(), coefficient1.begin(), coefficient1.end());
    out.push_back("95.4 %");
    out.insert(out.end(), coefficient2.begin(), coefficient2.end());
    out.insert(out.end(), {"Average", ave, "Mode", mode});
    return out;
}

} // namespace

TEST(IntervalReadout, IntervalsOfBothRegionsAndThePanel) {
    Column col;
    col.set(90, 160, 1).set(100, 150, 2).set(120, 120, -2).set(300, 320, 2);
    const IntervalReadout r = col.read(170, 180);
    EXPECT_EQ(r.panelLines(),
              panel({"50 - 100", "250 - 270"}, {"40 - 110", "250 - 270"}, " 130", "120"));
    EXPECT_EQ(r.intervals[1][0].start, 40);
    EXPECT_EQ(r.intervals[1][0].end, 110);
    EXPECT_EQ(r.modeMark, 120);
    EXPECT_EQ(r.averageMark, 130);
    EXPECT_FALSE(r.bottomOpen[0] || r.bottomOpen[1] || r.topOpen[0] || r.topOpen[1]);

    Column none;
    EXPECT_EQ(none.read().panelLines(), panel({}, {}, "Out of range", "Out of range"));
}

TEST(IntervalReadout, OpenEndsOnlyWhenRows50And450AreInside) {
    Column open;
    open.set(40, 60, 2).set(440, 460, 2);
    const IntervalReadout o = open.read();
    EXPECT_EQ(o.panelLines(),
              panel({"? - 10", "390 - ?"}, {"? - 10", "390 - ?"}, "Out of range", "Out of range"));
    EXPECT_TRUE(o.bottomOpen[0] && o.topOpen[0] && o.bottomOpen[1] && o.topOpen[1]);

    // Read after the open column: no flag carries over.
    Column edge;
    edge.set(50, 60, 1).set(445, 450, 1);
    const IntervalReadout e = edge.read();
    EXPECT_EQ(e.panelLines(), panel({}, {"0 - 10", "395 - 400"}, "Out of range", "Out of range"));
    EXPECT_FALSE(e.bottomOpen[0] || e.topOpen[0] || e.bottomOpen[1] || e.topOpen[1]);

    // Rows 49 and 451 inside, 50 and 450 outside: nothing starts at 0 or ends at 400.
    Column outside;
    outside.set(30, 49, 2).set(70, 80, 2).set(451, 470, 2);
    const IntervalReadout x = outside.read();
    EXPECT_EQ(x.panelLines(), panel({"20 - 30"}, {"20 - 30"}, "Out of range", "Out of range"));
    EXPECT_FALSE(x.bottomOpen[0] || x.topOpen[0] || x.bottomOpen[1] || x.topOpen[1]);

    Column whole;
    whole.set(0, 501, 2);
    EXPECT_EQ(whole.read().panelLines()[1], "? - ?");

    Column many; // 20 one-row regions, the first 11 are kept
    for (int row = 60; row <= 98; row += 2) {
        many.set(row, row, 1);
    }
    const IntervalReadout m = many.read();
    ASSERT_EQ(m.intervals[1].size(), 11u);
    EXPECT_EQ(m.intervals[1].back().low, "30");
}

TEST(IntervalReadout, ModeAndAverageAtTheEdges) {
    // Range 0..100: offset s reads s / 4. Each line: mode row, average row, then mode mark and
    // text, average mark and text ("-" for no mark). An average below the shown rows is still
    // printed; row 0 is no average; offsets 0 and 400 are marked but not printed as a mode.
    const std::tuple<int, int, const char*> cases[] = {
        {50, 30, "0 Out of range|- -5"},
        {450, 450, "400 Out of range|400 Out of range"},
        {51, 449, "1 0.25|399  99.8"},
        {0, 1, "- Out of range|- -12.2"},
        {250, 0, "200 50|- Out of range"},
        {250, 50, "200 50|0  0"},
        {NoIndex, NoIndex, "- Out of range|- Out of range"}};
    Column col;
    auto mark = [](std::optional<int> m) { return m ? std::to_string(*m) : std::string("-"); };
    for (const auto& [mode, ave, expected] : cases) {
        const IntervalReadout r = col.read(mode, ave, "100");
        EXPECT_EQ(mark(r.modeMark) + " " + r.modeText + "|" + mark(r.averageMark) + " " +
                      r.averageText,
                  expected);
    }
}

TEST(IntervalReadout, FormatReadingAndSectionColumn) {
    // Halves up; 2, 1 or 0 decimals by magnitude. The single nearest 2.0049999999 is
    // 2.00500011, which rounds to 2.01 where the double itself would give 2.
    const double x[] = {0.125,  -0.125, -2.5,     9.999, 10.25,
                        999.96, 1002.5, 123456.7, 0,     2.0049999999};
    const char* text[] = {"0.13", "-0.12", "-2.5",   "10", "10.3",
                          "1000", "1003",  "123457", "0",  "2.01"};
    for (size_t k = 0; k < std::size(x); ++k) {
        EXPECT_EQ(formatReading(x[k]), text[k]) << x[k];
    }
    EXPECT_EQ(sectionColumn(0), 50);
    EXPECT_EQ(sectionColumn(1), 54);
    EXPECT_EQ(sectionColumn(50), 250);
    EXPECT_EQ(sectionColumn(100), 450);
}
