#include "BatchRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quendrix::test;
using namespace quendrix::test::examples;

namespace {

const std::string PredictionsHeader = "line,x,status,average,mode,c1_intervals,c2_intervals\n";

class BatchCommandTest : public testing::Test {
  protected:
    TempDir dir{"quendrix_batch_"};
    std::string output = (dir.path / "out.csv").string();
    BatchRun run;

    int batch(const std::vector<std::string>& args) {
        run = runBatchCommand(args);
        return run.status;
    }
};

TEST_F(BatchCommandTest, ExampleDataGiveTheGoldenOutputs) {
    // Each folder's README gives the command that wrote its files.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"examples_file2", {"--file2", Error, "--section", "50"}},
        {"examples_model",
         {"--model-sd", "7", "--smoothing", "3", "--vthreshold", "0", "--hthreshold", "1", "--c1",
          "50", "--c2", "99", "--section", "30"}}};
    const std::string prefix = QUENDRIX_EXAMPLES "/";
    for (auto [name, args] : cases) {
        args.insert(args.end(), {"--file1", Calibration, "-o", output});
        ASSERT_EQ(batch(args), 0) << run.err;
        std::string text = slurp(output);
        // The head note names the input files as given; the goldens name them from the project.
        for (size_t at; (at = text.find(prefix)) != std::string::npos;) {
            text.replace(at, prefix.size(), "examples/");
        }
        const std::string folder = QUENDRIX_TEST_DATA "/output/" + name;
        EXPECT_EQ(text, slurp(folder + "/expected.csv")) << name;
        // A one-line summary, then the interval panel of the section.
        EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), slurp(folder + "/expected-readout.txt"))
            << name;
    }
}

TEST_F(BatchCommandTest, RefusesWhatItCannotUseAndKeepsTheOldOutput) {
    const std::string markers = dir.file("markers.csv", "X,Y\n-9999,1\n2,-9999\n");
    const std::string utf16 = dir.file("utf16.csv", std::string("\xFF\xFEX\0,\0Y\0", 8));
    const std::string emptyY = dir.file("emptyY.csv", "A,B\n1,2\n3,\n");
    const std::string bad = dir.file("bad.csv", "X,Y\n1,2\n3,1E39\n");
    const std::string predictions = (dir.path / "p.csv").string();
    const std::vector<std::string> both{"--file1", Calibration, "--file2", Error};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), both.begin(), both.end());
        return more;
    };
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // Inputs that hold no calibration, each named.
        {{"--file1", Calibration}, "give the error data with --file2"},
        {{"--file1", markers, "--file2", Error}, "markers.csv): no complete record"},
        // Without a complete record to begin with, it is the file that is named, not --holdout.
        {{"--file1", markers, "--file2", Error, "--holdout", "0.5"},
         "markers.csv): no complete record"},
        {{"--file1", utf16, "--file2", Error}, "utf16.csv): not a text file in UTF-8 or ASCII"},
        {{"--file1", Calibration, "--file2", emptyY}, "emptyY.csv): line 3"},
        {with({"--check", bad}), "--check " + bad + ": line 3"},
        {with({"--holdout", "0.9999"}),
         "--holdout 0.9999 holds out every complete record of file 1"},
        {with({"--holdout", "1e-300"}), "--holdout 1e-300 holds out no complete record of file 1"},
        // Numbers on the command line are the whole text and within their bounds.
        {with({"--c1", "abc"}), "--c1"},
        {with({"--c2", "150"}), "--c2"},
        {with({"--smoothing", "0"}), "--smoothing"},
        {with({"--smoothing", "5.5"}), "--smoothing"},
        {with({"--range", "0,5", "200"}), "--range"},
        {with({"--holdout", "0"}), "--holdout"},
        {with({"--holdout", "1"}), "--holdout"},
        {with({"--holdout", "0.5", "--seed", "-1"}), "--seed"},
        {with({"--holdout", "0.5", "--seed", "18446744073709551616"}), "--seed"},
        // Options that need, or exclude, another.
        {with({"--apply", Readings}), "--predictions"},
        {with({"--predictions", predictions}), "--apply"},
        {with({"--full-precision"}), "--full-precision"},
        {with({"--seed", "3"}), "--seed"},
        {with({"--holdout", "0.2", "--check", Readings}), "--holdout"}};
    for (auto [args, mentions] : cases) {
        dir.file("out.csv", "old");
        args.insert(args.end(), {"-o", output});
        EXPECT_NE(batch(args), 0) << mentions;
        EXPECT_NE(run.err.find(mentions), std::string::npos) << mentions << ": " << run.err;
        EXPECT_EQ(slurp(output), "old") << mentions;
        EXPECT_FALSE(std::filesystem::exists(predictions)) << mentions;
    }
    EXPECT_NE(batch(both), 0);
    EXPECT_NE(run.err.find("give the output file with -o"), std::string::npos) << run.err;
}

TEST_F(BatchCommandTest, ApplyWritesARowPerMeasurementAndWarningsGoToStandardError) {
    // The last two of the example's readings are above the range 0..40 and a marker.
    const std::string predictions = (dir.path / "p.csv").string();
    for (const bool json : {false, true}) {
        std::vector<std::string> args{"--file1", Calibration, "--file2",       Error,
                                      "--apply", Readings,    "--predictions", predictions};
        if (json) {
            args.push_back("--json");
        }
        ASSERT_EQ(batch(args), 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::string text = slurp(predictions);
        EXPECT_EQ(text.starts_with(PredictionsHeader), !json);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), json ? 12 : 13);
        EXPECT_TRUE(text.ends_with(json ? "{\"line\":12,\"x\":47.5,\"status\":\"outside range\"}\n"
                                          "{\"line\":13,\"x\":null,\"status\":\"skipped\"}\n"
                                        : "12,47.5,outside range,,,,\n13,,skipped,,,,\n"))
            << text;
    }
    // A file without measurements gives the header alone, and says so.
    const std::string empty = dir.file("empty.csv", "X,Y\r\n\r\n");
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--apply", empty, "--predictions",
                     predictions}),
              0)
        << run.err;
    EXPECT_EQ(slurp(predictions), PredictionsHeader);
    EXPECT_EQ(run.err, "quendrix-batch: --apply " + empty + ": no measurement read\n");
    // Letters where numbers belong, after the 150 records of the example: the calibration runs.
    const std::string letters = dir.file("letters.csv", slurp(Error) + "n/a,1\n2,n/a\n");
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", letters, "-o", output}), 0) << run.err;
    EXPECT_EQ(run.err, "quendrix-batch: File 2: 2 fields without a number were read as 0 (first "
                       "on line 152)\n");
}

TEST_F(BatchCommandTest, HoldoutChecksWithTheHeldOutRecordsAndPrintsTheJsonAlone) {
    auto withSeed = [&](const std::string& seed) {
        return batch({"--file1", Calibration, "--file2", Error, "--holdout", "0.25", "--seed", seed,
                      "--json"});
    };
    ASSERT_EQ(withSeed("9"), 0) << run.err;
    const std::string first = run.out;
    // The summary, with the kept count, went to stderr.
    EXPECT_TRUE(first.starts_with("{\"nominal1\":68.2,") && first.ends_with("}\n")) << first;
    const int kept = std::stoi(run.err.substr(run.err.find("N1 = ") + 5));
    const int held = std::stoi(first.substr(first.find("\"pairs\":") + 8));
    const int noRegion = std::stoi(first.substr(first.find("\"no_region\":") + 12));
    EXPECT_EQ(kept + held + noRegion, 300);
    // The seed is any 64-bit number.
    ASSERT_EQ(withSeed("18446744073709551615"), 0) << run.err;
    EXPECT_NE(run.out, first);
}

TEST_F(BatchCommandTest, AnEmptyResultIsWrittenWithAWarningThatNamesTheThresholdToLower) {
    const auto warning = [](const std::string& line, const std::string& threshold,
                            const std::string& samples, const std::string& keeps) {
        return "quendrix-batch: warning: the result is empty: no " + line +
               " in the range holds the " + samples + " sample(s) the " + threshold +
               " threshold asks for; at " + keeps + " some do\n";
    };
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--hthreshold", "8", "-o", output}),
              0);
    EXPECT_EQ(run.err, warning("X column", "horizontal", "8", "7 or less"));
    EXPECT_TRUE(std::filesystem::exists(output));
    // The threshold the warning proposes does give a result.
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--hthreshold", "7", "-o", output}),
              0);
    EXPECT_EQ(run.err, "");

    // Three samples far apart: no row holds two, nor, once rows are let through, any column.
    const std::string three = dir.file("three.csv", "X,Y\n5,5\n20,20\n35,35\n");
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(),
                     {"--file1", three, "--model-sd", "2", "--range", "0", "40", "-o", output});
        EXPECT_EQ(batch(extra), 0) << run.err;
        return run.err;
    };
    EXPECT_EQ(with({}), warning("Y row", "vertical", "2", "0"));
    EXPECT_EQ(with({"--skip"}), warning("X column", "horizontal", "2", "0"));
    EXPECT_EQ(with({"--vthreshold", "0"}), warning("X column", "horizontal", "2", "0"));
    EXPECT_EQ(with({"--vthreshold", "0", "--hthreshold", "0"}), "");
}

} // namespace
