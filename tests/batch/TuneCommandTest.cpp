#include "BatchRun.h"
#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

using namespace quendrix::test;
using namespace quendrix::test::examples;
using testing::HasSubstr;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

/// The words of a printed command line after the program's name (none of them quoted here).
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(w);
    }
    out.erase(out.begin());
    return out;
}

} // namespace

TEST(TuneCommand, PrintsTheSettingsBestFirstAndCalibratesWithTheOneItsCommandLineNames) {
    TempDir dir("quendrix_tune_");
    const std::string tuned = (dir.path / "tuned.csv").string();
    const BatchRun run = runBatchCommand({"--file1", Calibration, "--model-sd", "5", "--tune",
                                          "--smoothing-grid", "4-8", "--model-grid", "1-3",
                                          "--vthreshold", "1", "--hthreshold", "3", "-o", tuned});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> out = lines(run.out);
    // Two lines of explanation, the header, 15 settings, the recommendation, its command line,
    // and the usual summary of what was written.
    ASSERT_EQ(out.size(), 21u) << run.out;
    EXPECT_EQ(out[0], "Cross-validation: 15 settings, 5 folds of file 1's 300 complete records "
                      "(seed 1), 300 of them in the range");
    EXPECT_THAT(out[2], HasSubstr("log score"));
    EXPECT_THAT(out[18], testing::StartsWith("Recommended, the best log score within 3 points"));
    const std::string& command = out[19];
    EXPECT_THAT(command,
                testing::StartsWith("quendrix-batch --file1 " + Calibration + " --model-sd "));
    EXPECT_THAT(command, testing::EndsWith(" -o " + tuned));
    EXPECT_THAT(out[20], HasSubstr("wrote " + tuned));

    // The file written is the plain calibration with the recommended settings.
    const std::string plain = (dir.path / "plain.csv").string();
    std::vector<std::string> again = words(command);
    again.back() = plain;
    ASSERT_EQ(runBatchCommand(again).status, 0);
    EXPECT_EQ(slurp(tuned), slurp(plain));

    // As JSON: one object, the same recommendation, the summary on standard error.
    const BatchRun json = runBatchCommand({"--file1", Calibration, "--model-sd", "5", "--tune",
                                           "--smoothing-grid", "4-8", "--model-grid", "1-3",
                                           "--vthreshold", "1", "--hthreshold", "3", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(lines(json.out).size(), 1u);
    EXPECT_THAT(json.out, testing::StartsWith("{\"folds\":5,\"seed\":1,\"records\":300,"));
    EXPECT_THAT(json.out, HasSubstr("\"command\":\"" + command.substr(0, command.rfind(" -o ")) +
                                    " -o OUTPUT\""));
}

TEST(TuneCommand, WithFile2SearchesTheThresholdsAndWithAHoldoutIsCheckedOnIt) {
    const BatchRun run = runBatchCommand({"--file1", Calibration, "--file2", Error, "--tune",
                                          "--smoothing-grid", "3,5", "--vthreshold-grid", "1-2",
                                          "--hthreshold-grid", "0,2", "--folds", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 13u) << run.out; // no calibration was asked for: no summary
    EXPECT_THAT(out[0], HasSubstr("8 settings, 3 folds"));
    EXPECT_THAT(out.back(), HasSubstr(" --file2 " + Error + " "));
    EXPECT_THAT(out.back(), testing::Not(HasSubstr("--model-sd")));

    // Tuned on what the hold-out keeps, then checked with what it holds out.
    const BatchRun held =
        runBatchCommand({"--file1", Calibration, "--model-sd", "5", "--tune", "--smoothing-grid",
                         "5", "--model-grid", "2", "--holdout", "0.3", "--seed", "9"});
    ASSERT_EQ(held.status, 0) << held.err;
    EXPECT_THAT(held.out, HasSubstr("complete records (seed 9)"));
    EXPECT_THAT(held.out, HasSubstr("68.2 % region"));
    EXPECT_THAT(held.out, HasSubstr("not counted:"));
}

TEST(TuneCommand, RefusesBadSearchesBeforeWritingAnything) {
    TempDir dir("quendrix_tune_refused_");
    const std::string output = (dir.path / "out.csv").string();
    const std::vector<std::string> model{"--file1", Calibration, "--model-sd", "5", "-o", output};
    struct Case {
        std::vector<std::string> extra;
        std::string message;
    };
    const Case cases[] = {
        {{"--tune", "--folds", "1"}, "'1' is not between 2 and 100"},
        {{"--tune", "--smoothing-grid", "0-3"}, "--tune: smoothing level 0 % is outside 1..25"},
        {{"--tune", "--model-grid", "3-x"},
         "'3-x' is not a list of whole numbers such as 1-5,8,10"},
        {{"--tune", "--model-grid", "4-2"}, "'4-2' is not a list of whole numbers"},
        {{"--seed", "3"}, "--seed needs --holdout or --tune"},
        {{"--folds", "3"}, "--folds requires --tune"},
        {{"--tune", "--json", "--holdout", "0.2"}, "--json prints one object"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = model;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const BatchRun run = runBatchCommand(args);
        EXPECT_NE(run.status, 0) << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
        EXPECT_EQ(listing(dir.path), "");
    }
    const BatchRun withFile2 =
        runBatchCommand({"--file1", Calibration, "--file2", Error, "--tune", "--model-grid", "2"});
    EXPECT_THAT(withFile2.err, HasSubstr("--tune: the error model is file 2's"));
}
