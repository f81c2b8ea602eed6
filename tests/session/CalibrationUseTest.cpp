#include "session/CalibrationUse.h"
#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"

#include "FileDescriptions.h"
#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace quendrix;
using test::describe;

namespace {

// Column 250 holds region 1 in rows 240..260 within region 2 in rows 230..270; 300 holds none.
std::unique_ptr<DetailMatrices> oneRegion() {
    auto d = std::make_unique<DetailMatrices>();
    for (int r = 230; r <= 270; ++r) {
        d->fineConfi[size_t(250 * FineSize + r)] = r >= 240 && r <= 260 ? 2.0f : 1.0f;
    }
    return d;
}

} // namespace

TEST(CalibrationUse, MeasurementFilesKeepEveryRecordAndItsLine) {
    // Pairs, a blank line, an empty X, a marker, a missing Y at the end.
    EXPECT_EQ(describe(parseMeasurementFile("X,Y\n1,2\n\n,3\n-9999,4\n5,\n6")),
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
        std::string got = p.average + "|" + p.mode,
                    expected = panel.averageText.substr(panel.averageText[0] == ' ') + "|" +
                               panel.modeText;
        for (size_t r = 0; r < 2; ++r) {
            // Appended piece by piece: GCC 12 warns wrongly about a chain of string sums here.
            const char tag[] = {'|', char('0' + r), ':', ' ', 0};
            for (const auto& in : panel.intervals[r]) {
                expected.append(tag).append(in.low).append(" - ").append(in.high);
            }
            for (const auto& [low, high] : p.intervals[r]) {
                got.append(tag).append(low).append(" - ").append(high);
            }
        }
        EXPECT_EQ(got, expected) << "record " << k;
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
    // x = 1.5 is offset 200, column 250. Offset 190 is 1.425, which the panel reads as the
    // single 1.42499995 and so rounds down.
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
    EXPECT_THAT(
        coverageTable(r),
        testing::HasSubstr("all                          40           50.0 %           50.0 %"));
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
