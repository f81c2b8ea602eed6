#include "batch/BatchCommand.h"
#include "batch/FigureHandOff.h"
#include "session/CalibrationSession.h"

#include "BatchRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <tuple>

using namespace quendrix;
using namespace quendrix::test;
using namespace quendrix::test::examples;
namespace fs = std::filesystem;

namespace {

/// --figures with a stand-in for the figure program's drawing, which records what it was asked.
class FigureOptionsTest : public testing::Test {
  protected:
    TempDir dir{"quendrix_figures_"};
    std::string figures = (dir.path / "figs").string();
    std::string output = (dir.path / "out.csv").string();
    BatchRun run;
    std::vector<FigureRequest> requests;
    std::optional<Failure> refusal;

    int batch(std::vector<std::string> args, bool withRenderer = true) {
        args.insert(args.begin(), {"--file1", Calibration, "--file2", Error});
        const FigureRenderer renderer =
            [this](const CalibrationSession& s,
                   const FigureRequest& r) -> Result<std::vector<std::string>> {
            // The drawing is handed a finished calibration.
            EXPECT_TRUE(s.stageDone(Stage::Confidence) && s.detailBuilt());
            requests.push_back(r);
            if (refusal) {
                return *refusal;
            }
            std::vector<std::string> files;
            for (const std::string& name : figureFileNames(r.format)) {
                files.push_back(name + " drawn");
            }
            return files;
        };
        run = runBatchCommand(args, withRenderer ? renderer : FigureRenderer{});
        return run.status;
    }
};

TEST_F(FigureOptionsTest, DrawingGetsTheFolderFormatAndSectionAfterTheCalibration) {
    ASSERT_EQ(batch({"--figures", figures}), 0) << run.err;
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(slurp(figures + "/fig3.png"), "fig3.png drawn");
    EXPECT_EQ(slurp(figures + "/chart.png"), "chart.png drawn");
    EXPECT_EQ(std::tie(requests[0].folder, requests[0].format, requests[0].section),
              std::tuple(figures, FigureFormat::Png, 50));
    EXPECT_NE(run.out.find(": wrote the figures in " + figures), std::string::npos) << run.out;

    // An existing folder is used as it is; -o is written as well.
    ASSERT_EQ(batch({"--figures", figures, "--format", "pdf", "--section", "30", "-o", output}), 0)
        << run.err;
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(std::tie(requests[1].format, requests[1].section), std::tuple(FigureFormat::Pdf, 30));
    EXPECT_TRUE(fs::exists(output));
    EXPECT_EQ(slurp(figures + "/fig8.pdf"), "fig8.pdf drawn");
    EXPECT_NE(run.out.find("wrote " + output + ", the figures in " + figures), std::string::npos)
        << run.out;

    // A drawing that fails makes no folder.
    refusal = Failure{"fig3.pdf could not be drawn"};
    const std::string fresh = (dir.path / "fresh").string();
    EXPECT_EQ(batch({"--figures", fresh, "--format", "pdf"}), 1);
    EXPECT_NE(run.err.find("--figures: fig3.pdf could not be drawn"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(FigureOptionsTest, RefusesWhatItCannotUseAndWritesNothing) {
    const std::string file = dir.file("plain.txt", "not a folder");
    const std::string linked = (dir.path / "linked").string();
    fs::create_directory(linked);
    fs::create_symlink(Calibration, linked + "/fig1.png");
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"--figures", figures, "--format", "jpg"}, {"--format", "'jpg' is not png, svg or pdf"}},
        {{"--format", "svg", "-o", output}, {"--format", "--figures"}},
        {{"--figures", file}, {"--figures", file + "' is not a folder"}},
        {{"--figures", figures + "/deeper"}, {"--figures", "does not exist", "parent"}},
        {{"--figures", ""}, {"--figures", "no folder"}},
        {{"--figures", linked}, {"--figures file would replace file 1"}},
        {{"--figures", figures, "--range", "10", "10"}, {"invalid range 10 .. 10"}},
        {{"--figures", figures, "--section", "101"}, {"--section", "101"}}};
    const std::string before = listing(dir.path, true);
    for (const auto& [args, mentions] : cases) {
        EXPECT_NE(batch(args), 0) << args[1];
        for (const std::string& m : mentions) {
            EXPECT_NE(run.err.find(m), std::string::npos) << m << ": " << run.err;
        }
        EXPECT_TRUE(requests.empty()) << args[1];
        EXPECT_EQ(listing(dir.path, true), before) << args[1];
    }
    if (geteuid() != 0) { // the permission bits bind everyone but root
        ::chmod(linked.c_str(), 0555);
        EXPECT_EQ(batch({"--figures", linked, "--format", "png"}), 1);
        EXPECT_NE(run.err.find("cannot write into '" + linked), std::string::npos) << run.err;
        ::chmod(linked.c_str(), 0755);
    }
}

TEST_F(FigureOptionsTest, PlainCommandHandsTheRunToTheFigureProgramOrSaysWhereItLooked) {
    // The test program has no figure program beside it: nothing is computed or written.
    EXPECT_EQ(batch({"--figures", figures, "-o", output}, false), 1);
    EXPECT_NE(run.err.find(FigureProgramName), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--figures"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(figures));
    EXPECT_FALSE(fs::exists(output));

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

} // namespace
