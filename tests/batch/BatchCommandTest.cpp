#include "batch/FigureHandOff.h"
#include "export/FigureFiles.h"
#include "session/CalibrationSession.h"

#include "BatchRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <tuple>

using namespace quendrix;
using namespace quendrix::test;
using namespace quendrix::test::examples;
namespace fs = std::filesystem;

const std::string PredictionsHeader = "line,x,status,average,mode,c1_intervals,c2_intervals\n";

/// A folder each; a stand-in draws, recording each request and giving `draw` or the file names.
class BatchCommandTest : public testing::Test {
  protected:
    TempDir dir{"quendrix_batch_"};
    std::string output = (dir.path / "out.csv").string();
    std::string figures = (dir.path / "figs").string();
    std::string predictions = (dir.path / "p.csv").string();
    BatchRun run;
    std::vector<FigureRequest> requests;
    std::function<Result<std::vector<std::string>>()> draw;

    int batch(const std::vector<std::string>& args) {
        run = runBatchCommand(args, [this](const CalibrationSession& s, const FigureRequest& r) {
            EXPECT_TRUE(s.stageDone(Stage::Confidence) && s.detailBuilt());
            requests.push_back(r);
            const auto names = figureFileNames(r.format);
            return draw ? draw() : std::vector<std::string>(names.begin(), names.end());
        });
        return run.status;
    }
    int examples(std::vector<std::string> more) {
        more.insert(more.begin(), {"--file1", Calibration, "--file2", Error});
        return batch(more);
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

TEST_F(BatchCommandTest, RefusesWhatItCannotUseAndWritesNothing) {
    const std::string markers = dir.file("markers.csv", "X,Y\n-9999,1\n2,-9999\n");
    const std::string utf16 = dir.file("utf16.csv", std::string("\xFF\xFEX\0,\0Y\0", 8));
    const std::string emptyY = dir.file("emptyY.csv", "A,B\n1,2\n3,\n");
    const std::string bad = dir.file("bad.csv", "X,Y\n1,2\n3,1E39\n");
    const std::string file = dir.file("plain.txt", "not a folder");
    const std::string linked = (dir.path / "linked").string();
    fs::create_directory(linked);
    fs::create_symlink(Calibration, linked + "/fig1.png");
    // The example's files come first unless a case names file 1.
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"--file1", Calibration}, {"give the error data with --file2"}},
        {{"--file1", markers, "--file2", Error}, {"markers.csv): no complete record"}},
        // Without a complete record to begin with, it is the file that is named, not --holdout.
        {{"--file1", markers, "--file2", Error, "--holdout", "0.5"},
         {"markers.csv): no complete record"}},
        {{"--file1", utf16, "--file2", Error}, {"utf16.csv): not a text file in UTF-8 or ASCII"}},
        {{"--file1", Calibration, "--file2", emptyY}, {"emptyY.csv): line 3"}},
        {{"--check", bad}, {"--check " + bad + ": line 3"}},
        {{"--holdout", "0.9999"}, {"--holdout 0.9999 holds out every complete record of file 1"}},
        {{"--holdout", "1e-300"}, {"--holdout 1e-300 holds out no complete record of file 1"}},
        // Numbers are whole texts within bounds; options that need, or exclude, another.
        // clang-format off
        {{"--c1", "abc"}, {"--c1"}}, {{"--c2", "150"}, {"--c2"}}, {{"--seed", "3"}, {"--seed"}},
        {{"--smoothing", "0"}, {"--smoothing"}}, {{"--smoothing", "5.5"}, {"--smoothing"}},
        {{"--holdout", "0"}, {"--holdout"}}, {{"--holdout", "1"}, {"--holdout"}},
        {{"--holdout", "0.5", "--seed", "-1"}, {"--seed"}},
        {{"--holdout", "0.5", "--seed", "18446744073709551616"}, {"--seed"}},
        {{"--apply", Readings}, {"--predictions"}}, {{"--predictions", predictions}, {"--apply"}},
        {{"--full-precision"}, {"--full-precision"}}, {{"--range", "0,5", "200"}, {"--range"}},
        {{"--holdout", "0.2", "--check", Readings}, {"--holdout"}},
        // clang-format on
        {{"--figures", figures, "--format", "jpg"}, {"--format", "'jpg' is not png, svg or pdf"}},
        {{"--format", "svg"}, {"--format", "--figures"}},
        {{"--figures", file}, {"--figures", file + "' is not a folder"}},
        {{"--figures", figures + "/deeper"}, {"--figures", "does not exist", "parent"}},
        {{"--figures", ""}, {"--figures", "no folder"}},
        {{"--figures", linked}, {"--figures file would replace file 1"}},
        {{"--figures", figures, "--range", "10", "10"}, {"invalid range 10 .. 10"}},
        {{"--figures", figures, "--section", "101"}, {"--section", "101"}}};
    dir.file("out.csv", "old");
    const std::string before = listing(dir.path, true);
    for (auto [args, mentions] : cases) {
        args.insert(args.end(), {"-o", output});
        EXPECT_NE(args[0] == "--file1" ? batch(args) : examples(args), 0) << mentions[0];
        for (const std::string& m : mentions) {
            EXPECT_NE(run.err.find(m), std::string::npos) << m << ": " << run.err;
        }
        EXPECT_EQ(slurp(output), "old") << mentions[0];
        EXPECT_EQ(listing(dir.path, true), before) << mentions[0];
        EXPECT_TRUE(requests.empty()) << mentions[0];
    }
    EXPECT_NE(examples({}), 0);
    EXPECT_NE(run.err.find("give the output file with -o"), std::string::npos) << run.err;
    if (geteuid() != 0) { // the permission bits bind everyone but root
        ::chmod(linked.c_str(), 0555);
        EXPECT_EQ(examples({"--figures", linked, "--format", "png"}), 1);
        EXPECT_NE(run.err.find("cannot write into '" + linked), std::string::npos) << run.err;
        ::chmod(linked.c_str(), 0755);
    }
}

TEST_F(BatchCommandTest, ApplyWritesARowPerMeasurementAndWarningsGoToStandardError) {
    // The last two of the example's readings are above the range 0..40 and a marker.
    for (const bool json : {false, true}) {
        std::vector<std::string> args{"--apply", Readings, "--predictions", predictions};
        if (json) {
            args.push_back("--json");
        }
        ASSERT_EQ(examples(args), 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::string text = slurp(predictions);
        EXPECT_EQ(text.starts_with(PredictionsHeader), !json);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), json ? 12 : 13);
        EXPECT_TRUE(text.ends_with(json ? "{\"line\":12,\"x\":47.5,\"status\":\"outside range\"}\n"
                                          "{\"line\":13,\"x\":null,\"status\":\"skipped\"}\n"
                                        : "12,47.5,outside range,,,,\n13,,skipped,,,,\n"))
            << text;
    }
    const std::string empty = dir.file("empty.csv", "X,Y\r\n\r\n");
    ASSERT_EQ(examples({"--apply", empty, "--predictions", predictions}), 0) << run.err;
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
        return examples({"--holdout", "0.25", "--seed", seed, "--json"});
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
    ASSERT_EQ(examples({"--hthreshold", "8", "-o", output}), 0);
    EXPECT_EQ(run.err, warning("X column", "horizontal", "8", "7 or less"));
    EXPECT_TRUE(fs::exists(output));
    // The threshold the warning proposes does give a result.
    ASSERT_EQ(examples({"--hthreshold", "7", "-o", output}), 0);
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

TEST_F(BatchCommandTest, DrawingGetsTheFolderFormatAndSectionAfterTheCalibration) {
    ASSERT_EQ(examples({"--figures", figures}), 0) << run.err;
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(std::tie(requests[0].folder, requests[0].format, requests[0].section),
              std::tuple(figures, FigureFormat::Png, 50));
    EXPECT_NE(run.out.find(": wrote the figures in " + figures), std::string::npos) << run.out;

    // An existing folder is used as it is; -o is written as well.
    ASSERT_EQ(examples({"--figures", figures, "--format", "pdf", "--section", "30", "-o", output}),
              0)
        << run.err;
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(std::tie(requests[1].format, requests[1].section), std::tuple(FigureFormat::Pdf, 30));
    EXPECT_TRUE(fs::exists(output));
    EXPECT_EQ(slurp(figures + "/fig8.pdf"), "fig8.pdf");
    EXPECT_NE(run.out.find("wrote " + output + ", the figures in " + figures), std::string::npos)
        << run.out;

    draw = [] { return Failure{"fig3.pdf could not be drawn"}; };
    const std::string fresh = (dir.path / "fresh").string();
    EXPECT_EQ(examples({"--figures", fresh, "--format", "pdf"}), 1);
    EXPECT_NE(run.err.find("--figures: fig3.pdf could not be drawn"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(BatchCommandTest, PlainCommandHandsTheRunToTheFigureProgramOrSaysWhereItLooked) {
    // The test program has no figure program beside it: nothing is computed or written.
    run = runBatchCommand(
        {"--file1", Calibration, "--file2", Error, "--figures", figures, "-o", output});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(FigureProgramName), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--figures"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(figures) || fs::exists(output));

    // Found beside the command (a build tree) before its installed folder.
    const fs::path bin = dir.path / "bin";
    const fs::path installed = bin / QUENDRIX_HELPER_DIR_FROM_BIN;
    fs::create_directories(installed);
    const std::string self = (bin / "quendrix-batch").string();
    EXPECT_EQ(figureProgramFor(self), std::nullopt);
    const std::string helper = dir.file("helper", "#!/bin/sh\n");
    fs::copy_file(helper, installed / FigureProgramName);
    EXPECT_EQ(figureProgramFor(self), std::nullopt) << "not executable";
    fs::permissions(installed / FigureProgramName, fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_EQ(figureProgramFor(self), (installed / FigureProgramName).lexically_normal().string());
    fs::copy_file(installed / FigureProgramName, bin / FigureProgramName);
    EXPECT_EQ(figureProgramFor(self), (bin / FigureProgramName).string());
}

/// Runs with -o, --predictions and the nine figures over old files.
class BatchOutputsTest : public BatchCommandTest {
  protected:
    void SetUp() override {
        fs::create_directory(figures);
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            dir.file("figs/" + name, "old " + name);
        }
    }
    /// Fails naming `message`, `times` drawn; -o and, unless `names` is "", the figures stay.
    void expectFailure(std::vector<std::string> more, const std::string& message,
                       std::optional<size_t> times, const std::string& names = "figs keep.csv ",
                       const std::string& target = {}) {
        requests.clear();
        more.insert(more.begin(), {"--smoothing", "10", "-o", target.empty() ? keep : target});
        EXPECT_EQ(examples(more), 1) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        if (times) {
            EXPECT_EQ(requests.size(), *times) << message;
        }
        EXPECT_EQ(slurp(keep), "old") << message;
        if (!names.empty()) {
            for (const std::string& name : figureFileNames(FigureFormat::Png)) {
                EXPECT_EQ(slurp(figures + "/" + name), "old " + name) << message;
            }
            EXPECT_EQ(listing(dir.path), names) << message;
            EXPECT_EQ(std::distance(fs::directory_iterator(figures), {}), 9) << message;
        }
    }

    std::string keep = dir.file("keep.csv", "old");
};

TEST_F(BatchOutputsTest, AFailureAnywhereLeavesEveryOldFile) {
    // A device that is full; a folder that takes no files.
    expectFailure({"--apply", Readings, "--predictions", "/dev/full"}, "/dev/full", 0);
    expectFailure({"--figures", "/proc"}, "/proc", std::nullopt);
    draw = [] { return Failure{"fig6.png could not be drawn"}; };
    expectFailure({"--figures", figures, "--apply", Readings, "--predictions", predictions},
                  "fig6.png could not be drawn", 1);
    draw = []() -> Result<std::vector<std::string>> { throw std::bad_alloc(); };
    expectFailure({"--figures", figures}, "not enough memory", 1);
    draw = nullptr;
    // A faulty --apply file, found while it is streamed.
    const std::string bad = dir.file("bad.csv", "X\n1\n2\n3E39\n");
    expectFailure({"--figures", figures, "--apply", bad, "--predictions", predictions},
                  "bad.csv: line 4", 0, "bad.csv figs keep.csv ");
    fs::remove(figures + "/fig4.png");
    fs::create_symlink("loop.png", figures + "/fig4.png");
    fs::create_symlink("fig4.png", figures + "/loop.png");
    expectFailure({"--figures", figures}, "fig4.png", 0, "");
    EXPECT_EQ(listing(figures), "chart.png fig1.png fig2.png fig3.png fig4.png fig5.png "
                                "fig6.png fig7.png fig8.png loop.png ");
}

TEST_F(BatchOutputsTest, EveryTargetIsCheckedBeforeTheCalibration) {
    // Two outputs that are one file, through a dangling link or another path to it; an input.
    const std::string target = (dir.path / "target.csv").string();
    fs::create_symlink(target, dir.path / "plink.csv");
    const std::string names = "figs keep.csv plink.csv ";
    expectFailure({"--apply", Readings, "--predictions", (dir.path / "plink.csv").string()},
                  "--predictions would replace the -o output", 0, names, target);
    expectFailure({"--apply", Readings, "--predictions", figures + "/../figs/chart.png",
                   "--figures", figures},
                  "the --figures file would replace the --predictions output", 0, names);
    expectFailure({"--apply", Readings, "--predictions", Readings},
                  "--predictions would replace the --apply file", 0, names);
}

TEST_F(BatchOutputsTest, AFileSizeLimitIsReportedAndTheOthersStay) {
    // One figure beyond the limit, as on a full disk: the process is not killed by SIGXFSZ.
    draw = [] {
        std::vector<std::string> files(ExportedFigureCount, "new");
        files[4] = std::string(4 << 20, 'x');
        return files;
    };
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{2 << 20, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectFailure({"--figures", figures}, "cannot write " + figures + "/fig5.png: ", 1);
    ::setrlimit(RLIMIT_FSIZE, &saved);

    // Without the limit every output is replaced at once.
    draw = nullptr;
    ASSERT_EQ(examples({"--figures", figures, "--apply", Readings, "--predictions", predictions,
                        "-o", keep}),
              0)
        << run.err;
    EXPECT_TRUE(slurp(keep).starts_with("\"Quendrix common output format\""));
    EXPECT_TRUE(slurp(predictions).starts_with("line,x,status,"));
    for (const std::string& name : figureFileNames(FigureFormat::Png)) {
        EXPECT_EQ(slurp(figures + "/" + name), name);
    }
}
