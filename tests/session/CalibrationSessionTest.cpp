#include "session/CalibrationSession.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace quendrix;

class CalibrationSessionTest : public testing::Test {
  protected:
    test::TempDir dir{"quendrix_session_"};
    CalibrationSession s;
    const Captions& c = s.captions();

    // File 1 spans 0..9.6 and proposes 0..10. File 2 follows y = 1.5 x + 1/3 with residuals
    // 1/6, -1/3, 1/6, so SD = sqrt((1/6) / 2) = 0.288675.
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
        EXPECT_EQ(c.count[i] + "|" + c.correlation[i] + "|" + (f == 1 ? c.fittingLine : "") + "|" +
                      (f == 1 ? c.stdDev : ""),
                  expected)
            << bytes;
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
    EXPECT_FALSE(s.setGeneratedModel(true));
    EXPECT_FALSE(s.generatedModel());
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
    // Saving over an imported file is refused, also through another name for it.
    ASSERT_TRUE(s.runAll());
    std::filesystem::create_hard_link(dir.path / "c.csv", dir.path / "same.csv");
    EXPECT_EQ(s.saveCommonOutput((dir.path / "same.csv").string()).reason(),
              "the output would replace file 1");
    EXPECT_EQ(s.saveCommonOutput((dir.path / "e.csv").string()).reason(),
              "the output would replace file 2");
    EXPECT_EQ(test::slurp(dir.path / "c.csv"), "X,Y\n0,0\n2,3\n5,5\n9.6,9.6\n");
    EXPECT_TRUE(s.saveCommonOutput((dir.path / "out.csv").string()));

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
        EXPECT_FALSE(s.detailBuilt());
        EXPECT_FALSE(s.saveCommonOutput((dir.path / "out.csv").string()));
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
