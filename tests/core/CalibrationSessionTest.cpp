#include "app/CalibrationSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

using namespace quendrix;
namespace fs = std::filesystem;

namespace {

class CalibrationSessionTest : public testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("quendrix_session_" + std::to_string(getpid()));
    CalibrationSession s;
    const Captions& c = s.captions();

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    // File 1 spans 0..9.6 and proposes 0..10. File 2 follows y = 1.5 x + 1/3 with residuals
    // 1/6, -1/3, 1/6, so SD = sqrt((1/6) / 2) = 0.288675.
    void importBoth() {
        ASSERT_TRUE(s.importFile(0, write("c.csv", "X,Y\n0,0\n2,3\n5,5\n9.6,9.6\n"), "c.csv"));
        ASSERT_TRUE(s.importFile(1, write("e.csv", "A,B\n1,2\n2,3\n3,5\n"), "e.csv"));
    }
    // Every caption in one text, so that "nothing changed" is one comparison.
    std::string dump() const {
        std::string out;
        for (int f = 0; f < 2; ++f) {
            out += c.count[f] + "|" + c.xName[f] + "|" + c.yName[f] + "|" + c.path[f] + "|";
        }
        return out + c.fittingLine + "|" + c.stdDev + "|" + c.lowerText + "|" + c.upperText;
    }
};

} // namespace

TEST_F(CalibrationSessionTest, FailedImportChangesNothing) {
    importBoth();
    const std::string before = dump();
    EXPECT_EQ(before, "4|X|Y|c.csv|3|A|B|e.csv|y = 1.5 x + 0.333|0.28868|0|10");
    // R2 = Sxy / sqrt(Sxx Syy) = 3 / sqrt(2 * 42 / 9)
    EXPECT_NEAR(s.statistics(1).correlation, 0.981981, 1e-6);
    const std::vector<Sample> file1 = s.file(0)->records, file2 = s.file(1)->records;
    const std::string bad = write("bad.csv", "P,Q\n50,60\n70,\n");
    for (int f = 0; f < 2; ++f) {
        Status st = s.importFile(f, bad, "bad.csv");
        EXPECT_NE(st.reason().find("line 3"), std::string::npos) << st.reason();
        EXPECT_FALSE(s.importFile(f, (dir / "absent.csv").string(), "absent.csv").ok());
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(s.file(0)->records.size(), file1.size());
    EXPECT_EQ(s.file(1)->records.back().y, file2.back().y);
    EXPECT_EQ(s.grid()->gridStep, 0.05);
}

TEST_F(CalibrationSessionTest, RangeProposalAndCheck) {
    const std::string wide = write("w.csv", "A,B\n1,2\n3,13\n"); // proposes 0..15
    ASSERT_TRUE(s.importFile(1, wide, "w.csv"));                 // boxes empty: file 2 proposes
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "0..15");
    importBoth(); // file 1 always proposes, file 2 keeps filled boxes
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "0..10");
    EXPECT_EQ(s.grid()->gridMin, -1.25f);

    s.setRangeTexts("2", "4");
    ASSERT_TRUE(s.validateRange());
    EXPECT_EQ(s.grid()->gridStep, 0.01);
    s.setRangeTexts("3", "3.0"); // equal bounds bring back the last accepted texts
    EXPECT_EQ(s.validateRange().reason(), "Please set valid range.");
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "2..4");
    EXPECT_EQ(s.grid()->gridStep, 0.01);

    // A file without values proposes nothing: the boxes keep their texts.
    ASSERT_TRUE(s.importFile(0, write("h.csv", "X,Y\n-9999,-9999\n"), "h.csv"));
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "2..4");
    s.setRangeTexts("", "");
    ASSERT_TRUE(s.validateRange());
    ASSERT_TRUE(s.importFile(1, wide, "w.csv"));
    EXPECT_EQ(c.lowerText + ".." + c.upperText, "0..15");
}

TEST_F(CalibrationSessionTest, GeneratedModelStandsInForFile2) {
    EXPECT_FALSE(s.setGeneratedModel(true)); // no file 1 yet
    importBoth();
    ASSERT_TRUE(s.setGeneratedModel(true));
    EXPECT_EQ(dump(), "4|X|Y|c.csv||Y|Error model|Generated error model|y = x|0.5|0|10");
    EXPECT_TRUE(s.stageDone(Stage::GaussianModel));
    ASSERT_TRUE(s.setModelPercent(20));
    EXPECT_EQ(c.stdDev, "2"); // 20 % of 10
    EXPECT_FALSE(s.setModelPercent(0) || s.setModelPercent(21));
    ASSERT_TRUE(s.runAll());
    EXPECT_TRUE(s.outputHead().generatedModel);

    ASSERT_TRUE(s.setGeneratedModel(false));
    EXPECT_EQ(dump(), "4|X|Y|c.csv|3||||||0|10");
    EXPECT_FALSE(s.runAll()); // file 2's line is gone until it is imported again
    EXPECT_FALSE(s.stageDone(Stage::GaussianModel));
    importBoth();
    EXPECT_TRUE(s.runAll());

    // A zero width (empty boxes) gives the model no spread: refused, the mode stays off.
    s.setRangeTexts("", "");
    ASSERT_TRUE(s.validateRange());
    EXPECT_FALSE(s.setGeneratedModel(true));
    EXPECT_FALSE(s.generatedModel());
}

TEST_F(CalibrationSessionTest, ZeroStandardDeviationIsRefused) {
    importBoth();
    ASSERT_TRUE(s.importFile(1, write("l.csv", "A,B\n1,1\n2,2\n3,3\n"), "l.csv"));
    EXPECT_EQ(c.stdDev, "0");
    EXPECT_FALSE(s.runAll().reason().empty());
    for (int k = 0; k < StageCount; ++k) {
        EXPECT_FALSE(s.stageDone(Stage(k)));
    }
}

TEST_F(CalibrationSessionTest, TypedCoefficientsAreClampedAndMatchTheSlider) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"0.25", "0.25", 2}, {"150", "100", 1000},    {" 72.5%", "72.5", 725},
        {"-3", "0", 0},      {"68.25", "68.25", 682}, {"abc", "0", 0}};
    for (const auto& [typed, caption, slider] : cases) {
        s.setCoefficientText(1, typed);
        EXPECT_EQ(c.coefficient[1], caption);
        EXPECT_EQ(s.settings().coefficients.second, slider) << typed;
    }
    s.setCoefficientText(0, " 72.5%");
    EXPECT_EQ(s.outputHead().coefficient1, 72.5f);
    s.setCoefficientSlider(0, 955);
    EXPECT_EQ(c.coefficient[0], "95.5");
}

TEST_F(CalibrationSessionTest, SettingsInvalidateTheirStageAndLaterOnes) {
    importBoth();
    const fs::path out = dir / "out.csv";
    EXPECT_FALSE(s.saveCommonOutput(out.string()));
    EXPECT_FALSE(fs::exists(out));
    const std::pair<std::function<void()>, Stage> settings[] = {
        {[&] { s.setCoefficientText(0, "50"); }, Stage::Confidence},
        {[&] { s.setCoefficientSlider(1, 900); }, Stage::Confidence},
        {[&] { s.setHorizontalThreshold(3); }, Stage::NormalizeV},
        {[&] { s.setVerticalThreshold(1); }, Stage::NormalizeH},
        {[&] { s.setSkip(true); }, Stage::NormalizeH},
        {[&] { s.setSmoothing(7); }, Stage::Smoothing},
        {[&] { s.setRangeTexts("0", "20"); }, Stage::GaussianModel}};
    for (const auto& [change, first] : settings) {
        ASSERT_TRUE(s.runAll());
        ASSERT_TRUE(s.buildDetail());
        change();
        for (int k = 0; k < StageCount; ++k) {
            EXPECT_EQ(s.stageDone(Stage(k)), k < int(first)) << "stage " << k;
        }
        EXPECT_FALSE(s.detailBuilt());
        EXPECT_FALSE(s.saveCommonOutput(out.string()));
    }
}
