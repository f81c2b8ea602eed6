#include "session/CalibrationSession.h"
#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"
#include "session/CalibrationUse.h"

#include "FileDescriptions.h"
#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

using namespace quendrix;

class CalibrationSessionTest : public testing::Test {
  protected:
    test::TempDir dir{"quendrix_session_"};
    CalibrationSession s;
    const Captions& c = s.captions();

    // File 1 proposes 0..10; file 2: y = 1.5 x + 1/3, residuals 1/6, -1/3, 1/6: SD = sqrt(1/12).
    void importBoth() {
        ASSERT_TRUE(s.importFile(0, dir.file("c.csv", "X,Y\n0,0\n2,3\n5,5\n9.6,9.6\n"), "c.csv"));
        ASSERT_TRUE(s.importFile(1, dir.file("e.csv", "A,B\n1,2\n2,3\n3,5\n"), "e.csv"));
    }
    // Every caption in one text, so that "nothing changed" is one comparison.
    std::string dump() const {
        return c.count[0] + "|" + c.xName[0] + "|" + c.yName[0] + "|" + c.path[0] + "|" +
               c.count[1] + "|" + c.xName[1] + "|" + c.yName[1] + "|" + c.path[1] + "|" +
               c.fittingLine + "|" + c.stdDev + "|" + c.lowerText + ".." + c.upperText;
    }
};

TEST_F(CalibrationSessionTest, ImportProposesTheRangeAndFailsWithoutChange) {
    // Boxes still empty: file 2 proposes.
    ASSERT_TRUE(s.importFile(1, dir.file("w.csv", "A,B\n1,2\n3,13\n"), "w.csv"));
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "0..15");
    importBoth(); // file 1 always proposes, file 2 keeps filled boxes
    const std::string before = dump();
    EXPECT_EQ(before, "4|X|Y|c.csv|3|A|B|e.csv|y = 1.5 x + 0.333|0.28868|0..10");
    // R2 = Sxy / sqrt(Sxx Syy) = 3 / sqrt(2 * 42 / 9)
    EXPECT_NEAR(s.statistics(1).correlation, 0.981981, 1e-6);

    const std::string bad = dir.file("bad.csv", "P,Q\n50,60\n70,\n");
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(s.importFile(f, bad, "bad.csv").reason(), "line 3: empty Y value");
        // A partial overwrite would have put 50 into the first record.
        EXPECT_EQ(s.file(f)->records[0].x, f);
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(s.grid()->gridStep, 0.05);

    s.setRangeTexts("2", "4");
    ASSERT_TRUE(s.validateRange());
    s.setRangeTexts("3", "3.0"); // equal bounds bring back the last accepted texts
    EXPECT_EQ(s.validateRange().reason(), "Please set valid range.");
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "2..4");
    EXPECT_EQ(s.grid()->gridStep, 0.01);
    // A file without values, or whose bounds would be equal, proposes nothing.
    for (const char* bytes : {"X,Y\n-9999,-9999\n", "X,Y\n0,0\n"}) {
        ASSERT_TRUE(s.importFile(0, dir.file("h.csv", bytes), "h.csv"));
        EXPECT_EQ(c.lowerText + ".." + c.upperText, "2..4");
    }
}

TEST_F(CalibrationSessionTest, StatisticsCaptionsBelongToTheFileImported) {
    importBoth();
    const auto good = c.correlation;
    ASSERT_FALSE(good[0].empty() || good[1].empty());
    // What a file cannot define is blank, never the previous file's value.
    const std::tuple<int, const char*, const char*> cases[] = {
        {1, "A,B\n2,1\n2,3\n", "2|||"},
        {1, "A,B\n1,5\n3,5\n", "2||y = 0 x + 5|0"},
        {1, "A,B\n-9999,1\n4,-9999\n", "0|||"},
        {0, "X,Y\n2,1\n2,3\n", "2|||"}};
    for (const auto& [f, bytes, expected] : cases) {
        importBoth();
        ASSERT_TRUE(s.importFile(f, dir.file("d.csv", bytes), "d.csv"));
        const auto i = size_t(f);
        const std::string shown = c.count[i] + "|" + c.correlation[i] + "|" +
                                  (f == 1 ? c.fittingLine + "|" + c.stdDev : "|");
        EXPECT_EQ(shown, expected) << bytes;
        EXPECT_EQ(c.correlation[1 - i], good[1 - i]);
    }
}

TEST_F(CalibrationSessionTest, ErrorModelFromFile2OrGenerated) {
    EXPECT_FALSE(s.setGeneratedModel(true)); // no file 1 yet
    importBoth();
    ASSERT_TRUE(s.setGeneratedModel(true));
    EXPECT_EQ(dump(), "4|X|Y|c.csv||Y|Error model|Generated error model|y = x|0.5|0..10");
    ASSERT_TRUE(s.setModelPercent(20));
    EXPECT_EQ(c.stdDev, "2"); // 20 % of 10
    EXPECT_FALSE(s.setModelPercent(0) || s.setModelPercent(21));
    ASSERT_TRUE(s.runAll());

    ASSERT_TRUE(s.setGeneratedModel(false));
    EXPECT_EQ(dump(), "4|X|Y|c.csv|3||||||0..10");
    EXPECT_FALSE(s.runAll()); // file 2's line is gone until it is imported again
    importBoth();
    EXPECT_TRUE(s.runAll());

    // File 2 on an exact line: a zero deviation is refused before any stage runs.
    ASSERT_TRUE(s.importFile(1, dir.file("l.csv", "A,B\n1,1\n2,2\n3,3\n"), "l.csv"));
    EXPECT_EQ(c.stdDev, "0");
    EXPECT_FALSE(s.runAll().reason().empty());
    EXPECT_FALSE(s.stageDone(Stage::GaussianModel) || s.stageDone(Stage::Confidence));
    // A zero width (empty boxes) gives the model no spread: refused, the mode stays off.
    s.setRangeTexts("", "");
    ASSERT_TRUE(s.validateRange());
    EXPECT_FALSE(s.setGeneratedModel(true) || s.generatedModel());
}

TEST_F(CalibrationSessionTest, TypedCoefficientsAreClampedAndMatchTheSlider) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"0.25", "0.25", 2}, {"150", "100", 1000}, {" 72.5%", "72.5", 725},
        {"-3", "0", 0},      {"abc", "0", 0},      {"68.25", "68.25", 682}};
    for (const auto& [typed, caption, slider] : cases) {
        s.setCoefficientText(1, typed);
        EXPECT_EQ(std::pair(c.coefficient[1], s.settings().coefficients.second),
                  std::pair(std::string(caption), slider));
    }
    EXPECT_EQ(s.outputHead().coefficient2, 68.25f); // the caption's value, not the slider's 68.2
    s.setCoefficientSlider(0, 955);
    EXPECT_EQ(c.coefficient[0], "95.5");
}

TEST_F(CalibrationSessionTest, SavingChecksTheTargetAndSettingsInvalidateTheirStage) {
    importBoth();
    auto save = [&](const char* name) { return s.saveCommonOutput((dir.path / name).string()); };
    // Saving over an imported file is refused, also through another name for it.
    ASSERT_TRUE(s.runAll());
    std::filesystem::create_hard_link(dir.path / "c.csv", dir.path / "same.csv");
    EXPECT_EQ(save("same.csv").reason(), "the output would replace file 1");
    EXPECT_EQ(save("e.csv").reason(), "the output would replace file 2");
    EXPECT_EQ(test::slurp(dir.path / "c.csv"), "X,Y\n0,0\n2,3\n5,5\n9.6,9.6\n");
    EXPECT_TRUE(save("out.csv"));

    const std::pair<std::function<void()>, Stage> settings[] = {
        {[&] { s.setCoefficientText(0, "50"); }, Stage::Confidence},
        {[&] { s.setCoefficientSlider(1, 900); }, Stage::Confidence},
        {[&] { s.setHorizontalThreshold(3); }, Stage::NormalizeV},
        {[&] { s.setVerticalThreshold(1); }, Stage::NormalizeH},
        {[&] { s.setSkip(true); }, Stage::NormalizeH},
        {[&] { s.setSmoothing(7); }, Stage::Smoothing},
        {[&] { s.setRangeTexts("0", "20"); }, Stage::GaussianModel}};
    for (const auto& [change, first] : settings) {
        ASSERT_TRUE(s.runAll() && s.buildDetail());
        change();
        for (int k = 0; k < StageCount; ++k) {
            EXPECT_EQ(s.stageDone(Stage(k)), k < int(first)) << "stage " << k;
        }
        EXPECT_FALSE(s.detailBuilt() || save("out.csv"));
    }
}

// Without them every figure would stay blank; one of each is enough.
TEST_F(CalibrationSessionTest, ARunNeedsACompleteRecordAndASampleInTheRange) {
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        // file 1, range, refusal, whether the model stage ran
        {"X,Y\n-9999,1\n2,-9999\n", "0", "file 1 holds no complete record", false},
        {"X,Y\n-9999,1\n2,two\n", "0", "", true},
        {"X,Y\n1,2\n2,3\n3,5\n", "100", "no sample of file 1 lies within the axis range", true},
        {"X,Y\n1,2\n2,3\n3,5\n", "2.9", "", true}};
    ASSERT_TRUE(s.importFile(1, dir.file("e.csv", "A,B\n1,2\n2,3\n3,5\n"), "e.csv"));
    for (const auto& [bytes, lower, refusal, model] : cases) {
        ASSERT_TRUE(s.importFile(0, dir.file("c.csv", bytes), "c.csv"));
        s.setRangeTexts(lower, "200");
        ASSERT_TRUE(s.validateRange());
        EXPECT_EQ(s.runAll().reason(), refusal) << bytes;
        EXPECT_EQ(s.stageDone(Stage::GaussianModel), model) << bytes;
        EXPECT_EQ(s.stageDone(Stage::DescreteModel), *refusal == 0) << bytes;
    }
}

// Column 250 holds region 1 in rows 240..260 within region 2 in rows 230..270; 300 holds none.
static std::unique_ptr<DetailMatrices> oneRegion() {
    auto d = std::make_unique<DetailMatrices>();
    for (int r = 230; r <= 270; ++r) {
        d->fineConfi[size_t(250 * FineSize + r)] = r >= 240 && r <= 260 ? 2.0f : 1.0f;
    }
    return d;
}

TEST(CalibrationUse, MeasurementFilesKeepEveryRecordAndItsLine) {
    // Pairs, a blank line, an empty X, a marker, a missing Y at the end.
    EXPECT_EQ(test::describe(parseMeasurementFile("X,Y\n1,2\n\n,3\n-9999,4\n5,\n6")),
              "X|Y 2:1,2 4:-,3 5:-,4 6:5,- 7:6,-");
    // No record limit: a million measurements are read.
    std::string many = "X\n";
    for (int r = 0; r < 1000000; ++r) {
        many += "7\n";
    }
    const auto read = parseMeasurementFile(many);
    ASSERT_EQ(read.value().records.size(), 1000000u);
    EXPECT_EQ(read->records.back().line, 1000001);
}

TEST(CalibrationUse, PredictionsAreTheChartReadoutAtTheNearestSection) {
    CalibrationSession s;
    ASSERT_TRUE(s.importFile(0, test::examples::Calibration, test::examples::Calibration));
    ASSERT_TRUE(s.importFile(1, test::examples::Error, test::examples::Error));
    ASSERT_TRUE(s.runAll() && s.buildDetail());

    // Each section's X (P % of the proposed 0..40), and one a third of a column away.
    std::vector<Measurement> records;
    for (int p = 0; p <= 100; ++p) {
        records.push_back({2 * p + 2, float(0.4 * p), std::nullopt});
        records.push_back({2 * p + 3, float(0.4 * p + (p < 100 ? 0.0333 : -0.0333)), {}});
    }
    const auto predicted = predictWith(s, records, false);
    ASSERT_EQ(predicted.size(), records.size());
    for (size_t k = 0; k < predicted.size(); ++k) {
        const Prediction& p = predicted[k];
        const auto panel = s.readout(int(k / 2)).value();
        // A section without any region (too few samples there) says so.
        const bool region = !panel.intervals[0].empty() || !panel.intervals[1].empty();
        ASSERT_EQ(p.kind, region ? Prediction::Kind::Read : Prediction::Kind::NoRegion) << k;
        EXPECT_EQ(p.average + "|" + p.mode,
                  panel.averageText.substr(panel.averageText[0] == ' ') + "|" + panel.modeText)
            << k;
        for (size_t r = 0; r < 2; ++r) {
            std::vector<std::pair<std::string, std::string>> shown;
            for (const auto& in : panel.intervals[r]) {
                shown.emplace_back(in.low, in.high);
            }
            EXPECT_EQ(p.intervals[r], shown) << "record " << k;
        }
    }

    // Outside the range (never clamped), skipped records, and the rows in input order.
    const std::vector<Measurement> odd{
        {7, -0.01f, {}}, {3, std::nullopt, 5.0f}, {9, 40.01f, {}}, {4, 0.0f, {}}};
    EXPECT_EQ(predictionsCsv(predictWith(s, odd, false)),
              "line,x,status,average,mode,c1_intervals,c2_intervals\n"
              "7,-0.01,outside range,,,,\n3,,skipped,,,,\n9,40.01,outside range,,,,\n"
              "4,0,no region,Out of range,Out of range,,\n");

    // A region of either coefficient is enough: a column with the wider region alone.
    auto wider = std::make_unique<DetailMatrices>();
    for (int row = 200; row <= 210; ++row) {
        wider->fineConfi[size_t(250 * FineSize + row)] = 1;
    }
    const auto alone = predict(*wider, {{1, 20.0f, {}}, {2, 10.0f, {}}}, readoutLabels(s), false);
    EXPECT_EQ(alone[0].kind, Prediction::Kind::Read);
    EXPECT_TRUE(alone[0].intervals[0].empty() && alone[0].intervals[1].size() == 1);
    EXPECT_EQ(alone[1].kind, Prediction::Kind::NoRegion);
}

TEST(CalibrationUse, FullPrecisionGivesTheGridValues) {
    auto d = oneRegion();
    d->fineMode[250] = 249;
    d->fineAve[250] = 251;
    const ReadoutLabels labels{"0", "3", "68.2", "95.4"};
    // x = 1.5 is offset 200, column 250; offset 190, 1.425, is the single 1.42499995: down.
    const std::vector<Measurement> one{{2, 1.5f, {}}};
    auto row = [](const std::string& csv) { return csv.substr(csv.find('\n') + 1); };
    EXPECT_EQ(row(predictionsCsv(predict(*d, one, labels, false))),
              "2,1.5,ok,1.51,1.49,1.42..1.58,1.35..1.65\n");
    EXPECT_EQ(row(predictionsCsv(predict(*d, one, labels, true))),
              "2,1.5,ok,1.5075,1.4925,1.425..1.575,1.35..1.65\n");
    EXPECT_EQ(predictionsJsonLines(predict(*d, one, labels, true)),
              "{\"line\":2,\"x\":1.5,\"status\":\"ok\",\"average\":\"1.5075\",\"mode\":\"1.4925\","
              "\"c1_intervals\":[[\"1.425\",\"1.575\"]],\"c2_intervals\":[[\"1.35\",\"1.65\"]]}\n");

    // Regions that run on beyond the range keep their "?" there; their other ends are exact.
    for (int r = 0; r <= 20; ++r) {
        d->fineConfi[size_t(250 * FineSize + 40 + r)] = 1.0f;  // offsets -10..10
        d->fineConfi[size_t(250 * FineSize + 440 + r)] = 1.0f; // offsets 390..410
    }
    EXPECT_EQ(row(predictionsCsv(predict(*d, one, labels, true))),
              "2,1.5,ok,1.5075,1.4925,1.425..1.575,?..0.075;1.35..1.65;2.925..?\n");
}

TEST(CalibrationUse, CoverageCountsEachPairOnceAndNeverDropsOne) {
    auto d = oneRegion();
    // Range 0..400: x 200 is column 250, x 250 column 300 (no region); y is row y + 50.
    std::vector<Measurement> pairs{{2, 200.0f, 200.0f}, // both regions
                                   {3, 200.0f, 215.0f}, // region 2 only
                                   {4, 200.0f, 300.0f}, // neither
                                   {5, 200.0f, 900.0f}, // beyond the fine grid: neither
                                   {6, 250.0f, 200.0f}, // column without a region
                                   {7, 400.5f, 200.0f}, // outside the range
                                   {8, 200.0f, std::nullopt}};
    // One pair in region 1 (both regions) and two in region 2 of four.
    EXPECT_THAT(
        coverageJson(checkCoverage(*d, pairs, 0, 400, 68.2, 95.4)),
        testing::StartsWith(
            "{\"nominal1\":68.2,\"nominal2\":95.4,\"pairs\":4,\"share1\":0.25,\"share2\":0.5,"
            "\"no_region\":1,\"outside_range\":1,\"incomplete\":1,\"deciles\":["));

    // With coefficient 1 the larger, region 1 is the wider one.
    const CoverageReport swapped = checkCoverage(*d, pairs, 0, 400, 95.4, 68.2);
    EXPECT_EQ(std::pair(swapped.inRegion1, swapped.inRegion2), std::pair(2, 1));

    // Ten groups of rising X, each with its own share: all inside below x 199.9, none above.
    pairs.clear();
    for (int k = 0; k < 40; ++k) {
        const float x = 199.8f + 0.005f * float(k);
        pairs.push_back({k + 2, x, k < 20 ? 200.0f : 100.0f});
    }
    const CoverageReport r = checkCoverage(*d, pairs, 0, 400, 68.2, 95.4);
    ASSERT_EQ(r.deciles.size(), 10u);
    for (size_t k = 0; k < 10; ++k) {
        EXPECT_EQ(r.deciles[k].pairs, 4);
        EXPECT_EQ(r.deciles[k].inRegion1, k < 5 ? 4 : 0) << k;
    }
    EXPECT_EQ(r.deciles[0].xFrom, 199.8f);
    EXPECT_EQ(r.deciles[9].xTo, 199.8f + 0.005f * 39);
    // 20 of 40: Wilson's interval is 0.5 -+ 0.1480, below both coefficients.
    EXPECT_THAT(
        coverageTable(r),
        testing::HasSubstr("all                          40           50.0 %           50.0 "
                           "%   35.2 - 64.8 % below        35.2 - 64.8 % below\n"));
    EXPECT_THAT(coverageJson(r), testing::HasSubstr("\"interval1\":{\"low\":0.35199"));
    EXPECT_THAT(coverageJson(r), testing::HasSubstr("\"verdict\":\"below\"}}\n"));
}

TEST(CalibrationUse, WilsonIntervalsAndVerdictsAreTheHandWorkedOnes) {
    // Wilson's score interval at z = 1.96: 0/10, 10/10, 5/10 and Newcombe's 81/263.
    const std::tuple<int, int, double, double> cases[] = {{0, 10, 0, 0.2775},
                                                          {10, 10, 0.7225, 1},
                                                          {5, 10, 0.2366, 0.7634},
                                                          {81, 263, 0.2553, 0.3662}};
    for (const auto& [part, whole, low, high] : cases) {
        const auto i = wilsonInterval(part, whole);
        ASSERT_TRUE(i);
        EXPECT_NEAR(i->low, low, 5e-5) << part << "/" << whole;
        EXPECT_NEAR(i->high, high, 5e-5) << part << "/" << whole;
    }
    EXPECT_FALSE(wilsonInterval(0, 0));
    const ShareInterval i{0.2366, 0.7634};
    EXPECT_EQ(verdict(i, 23.6), "above");
    EXPECT_EQ(verdict(i, 23.7), "consistent");
    EXPECT_EQ(verdict(i, 76.3), "consistent");
    EXPECT_EQ(verdict(i, 76.4), "below");
    // A coefficient on either end of the interval is held by it.
    EXPECT_EQ(verdict({0.25, 0.5}, 50), "consistent");
    EXPECT_EQ(verdict({0.5, 0.75}, 50), "consistent");
}

// A different seed gives a different split in tests/batch/BatchCommandTest.cpp.
TEST(CalibrationUse, HoldoutSplitPartitionsTheRecordsTheSameEverywhere) {
    DataFile file;
    for (int r = 0; r < 1000; ++r) {
        file.records.push_back({float(r), r % 100 == 0 ? MissingValue : float(2 * r)});
    }
    const HoldoutSplit a = splitHoldout(file, 0.3, 42);
    EXPECT_EQ(a.kept.records.size() + a.heldOut.size(), 1000u);
    EXPECT_EQ(a.kept.completeCount, 990 - int(a.heldOut.size()));
    std::string first;
    for (const Measurement& m : a.heldOut) {
        // Record n is the pair (n - 1, 2 (n - 1)); markers are never held out.
        EXPECT_EQ(std::pair(*m.x, *m.y), std::pair(float(m.line - 1), float(2 * m.line - 2)));
        if (&m - a.heldOut.data() < 5) {
            first.append(std::to_string(m.line)).append(" ");
        }
    }
    // The same split on every machine: SplitMix64 worked out apart from this code.
    EXPECT_EQ(first, "3 4 7 10 11 ");
    EXPECT_EQ(a.heldOut.size(), 322u);
}
