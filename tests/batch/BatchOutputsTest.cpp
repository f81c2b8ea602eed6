#include "BatchRun.h"
#include "TestFiles.h"

#include "export/FigureFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <new>
#include <optional>

using namespace quendrix;
using namespace quendrix::test;
using namespace quendrix::test::examples;
namespace fs = std::filesystem;

namespace {

/// Runs with -o, --predictions and the nine figures over old files, drawn by a stand-in.
class BatchOutputsTest : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(figures);
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            dir.file("figs/" + name, "old " + name);
        }
    }
    BatchRun run(std::vector<std::string> more, const std::string& output = {}) {
        std::vector<std::string> args{
            "--file1",     Calibration, "--file2", Error,
            "--smoothing", "10",        "-o",      output.empty() ? keep : output};
        args.insert(args.end(), more.begin(), more.end());
        drawn = 0;
        return runBatchCommand(args, [this](const CalibrationSession&, const FigureRequest&) {
            return drawFigures();
        });
    }
    Result<std::vector<std::string>> drawFigures() {
        ++drawn;
        if (draw) {
            return draw();
        }
        std::vector<std::string> files;
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            files.push_back("new " + name);
        }
        return files;
    }
    /// A run that fails naming `message`, having drawn `times` times; the old -o file stays,
    /// and unless `names` is empty so do the figures, the folder holding only `names`.
    void expectFailure(const std::vector<std::string>& more, const std::string& message,
                       std::optional<int> times, const std::string& names = "figs keep.csv ",
                       const std::string& output = {}) {
        const BatchRun r = run(more, output);
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        if (times) {
            EXPECT_EQ(drawn, *times) << message;
        }
        EXPECT_EQ(slurp(keep), "old") << message;
        if (names.empty()) {
            return;
        }
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            EXPECT_EQ(slurp(figures + "/" + name), "old " + name) << message;
        }
        EXPECT_EQ(listing(dir.path), names) << message;
        EXPECT_EQ(listing(figures),
                  "chart.png fig1.png fig2.png fig3.png fig4.png fig5.png fig6.png fig7.png "
                  "fig8.png ")
            << message;
    }

    TempDir dir{"quendrix_outputs_"};
    std::string keep = dir.file("keep.csv", "old");
    std::string figures = (dir.path / "figs").string();
    std::string predictions = (dir.path / "p.csv").string();
    std::function<Result<std::vector<std::string>>()> draw;
    int drawn = 0;
};

TEST_F(BatchOutputsTest, AFailureAnywhereLeavesEveryOldFile) {
    // A device that is full; a folder that takes no files.
    expectFailure({"--apply", Readings, "--predictions", "/dev/full"}, "/dev/full", 0);
    expectFailure({"--figures", "/proc"}, "/proc", std::nullopt);
    // A figure that cannot be drawn, and memory that runs out while they are drawn.
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
    // A symbolic link loop where a figure belongs.
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
    const BatchRun done =
        run({"--figures", figures, "--apply", Readings, "--predictions", predictions});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_TRUE(slurp(keep).starts_with("\"Quendrix common output format\""));
    EXPECT_TRUE(slurp(predictions).starts_with("line,x,status,"));
    for (const std::string& name : figureFileNames(FigureFormat::Png)) {
        EXPECT_EQ(slurp(figures + "/" + name), "new " + name);
    }
}

} // namespace
