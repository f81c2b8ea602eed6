#include "BatchRun.h"
#include "TestFiles.h"

#include "export/FigureFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <new>
#include <optional>

using namespace quendrix;
namespace fs = std::filesystem;

namespace {

const std::string Calibration = QUENDRIX_EXAMPLES "/calibration.csv";
const std::string Error = QUENDRIX_EXAMPLES "/error.csv";
const std::string Readings = QUENDRIX_EXAMPLES "/readings.csv";

/// A run with three kinds of output over old files: -o, --predictions and the nine figures,
/// drawn by a stand-in that can be told to fail, to throw or to draw one figure too large.
class BatchOutputsTest : public testing::Test {
  protected:
    void SetUp() override {
        ::chmod(dir.path.c_str(), 0777);
        keep = dir.file("keep.csv", "old");
        ::chmod(keep.c_str(), 0666);
        fs::create_directory(figures);
        ::chmod(figures.c_str(), 0777);
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            dir.file("figs/" + name, "old " + name);
        }
    }
    std::vector<std::string> base(const std::string& output = {}) const {
        return {"--file1",     Calibration, "--file2", Error,
                "--smoothing", "10",        "-o",      output.empty() ? keep : output};
    }
    test::BatchRun run(std::vector<std::string> args) {
        return test::runBatchCommand(
            args,
            [this](const CalibrationSession&,
                   const FigureRequest&) -> Result<std::vector<std::string>> {
                ++drawn;
                if (draw) {
                    return draw();
                }
                std::vector<std::string> files;
                for (const std::string& name : figureFileNames(FigureFormat::Png)) {
                    files.push_back("new " + name);
                }
                return files;
            });
    }
    /// Every old file as it was, and nothing else in the folders.
    void expectAllOld(const std::string& listing) {
        EXPECT_EQ(test::slurp(keep), "old");
        for (const std::string& name : figureFileNames(FigureFormat::Png)) {
            EXPECT_EQ(test::slurp(figures + "/" + name), "old " + name);
        }
        EXPECT_EQ(test::listing(dir.path), listing);
        EXPECT_EQ(test::listing(figures),
                  "chart.png fig1.png fig2.png fig3.png fig4.png fig5.png fig6.png fig7.png "
                  "fig8.png ");
    }

    test::TempDir dir{"quendrix_outputs_"};
    std::string keep;
    std::string figures = (dir.path / "figs").string();
    std::function<Result<std::vector<std::string>>()> draw;
    int drawn = 0;
};

TEST_F(BatchOutputsTest, AFailureAnywhereLeavesEveryOldFile) {
    const std::string predictions = (dir.path / "p.csv").string();
    struct Case {
        const char* name;
        std::function<std::vector<std::string>()> args; // after base(); may prepare files
        std::string message;
        std::optional<int> drawn; // how often the figures were drawn, where it is certain
        std::string listing;
    };
    const Case cases[] = {
        {"a device that is full",
         [] {
             return std::vector<std::string>{"--apply", Readings, "--predictions", "/dev/full"};
         },
         "/dev/full", 0, "figs keep.csv "},
        {"a folder that takes no files",
         [] {
             return std::vector<std::string>{"--figures", "/proc"};
         },
         "/proc", std::nullopt, "figs keep.csv "},
        {"a symbolic link loop",
         [&] {
             fs::remove(figures + "/fig4.png");
             fs::create_symlink("loop.png", figures + "/fig4.png");
             fs::create_symlink("fig4.png", figures + "/loop.png");
             return std::vector<std::string>{"--figures", figures};
         },
         "fig4.png", 0, "figs keep.csv "},
        {"a figure that cannot be drawn",
         [&] {
             draw = [] { return Failure{"fig6.png could not be drawn"}; };
             return std::vector<std::string>{"--figures", figures,         "--apply",
                                             Readings,    "--predictions", predictions};
         },
         "fig6.png could not be drawn", 1, "figs keep.csv "},
        {"memory that runs out",
         [&] {
             draw = []() -> Result<std::vector<std::string>> { throw std::bad_alloc(); };
             return std::vector<std::string>{"--figures", figures};
         },
         "not enough memory", 1, "figs keep.csv "},
        {"a faulty --apply file found while it is streamed",
         [&] {
             const std::string bad = dir.file("bad.csv", "X\n1\n2\n3E39\n");
             return std::vector<std::string>{"--figures", figures,         "--apply",
                                             bad,         "--predictions", predictions};
         },
         "bad.csv: line 4", 0, "bad.csv figs keep.csv "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        draw = nullptr;
        drawn = 0;
        std::vector<std::string> args = base();
        const std::vector<std::string> more = c.args();
        args.insert(args.end(), more.begin(), more.end());
        const test::BatchRun r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        if (c.drawn) {
            EXPECT_EQ(drawn, *c.drawn);
        }
        if (fs::is_symlink(figures + "/loop.png")) {
            fs::remove(figures + "/loop.png");
            fs::remove(figures + "/fig4.png");
            dir.file("figs/fig4.png", "old fig4.png");
        }
        expectAllOld(c.listing);
        fs::remove(dir.path / "bad.csv");
    }
}

TEST_F(BatchOutputsTest, EveryTargetIsCheckedBeforeTheCalibration) {
    // Two outputs that are one file through a link, dangling or not, or a hard link.
    fs::create_symlink(dir.path / "target.csv", dir.path / "plink.csv");
    fs::create_hard_link(keep, dir.path / "hard.csv");
    const std::string target = (dir.path / "target.csv").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--predictions", (dir.path / "plink.csv").string()},
         "--predictions would replace the -o output"},
        {{"--predictions", (dir.path / "hard.csv").string()},
         "--predictions would replace the -o output"},
        {{"--predictions", figures + "/../figs/chart.png", "--figures", figures},
         "the --figures file would replace the --predictions output"},
        {{"--predictions", (dir.path / "missing" / "p.csv").string()}, "missing does not exist"},
        {{"--predictions", Readings}, "--predictions would replace the --apply file"}};
    for (const auto& [more, message] : cases) {
        // The first case writes -o where the link leads.
        std::vector<std::string> args = base(&more == &cases[0].first ? target : keep);
        args.insert(args.end(), {"--apply", Readings});
        args.insert(args.end(), more.begin(), more.end());
        drawn = 0;
        const test::BatchRun r = run(args);
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(drawn, 0);
        EXPECT_FALSE(fs::exists(target));
        expectAllOld("figs hard.csv keep.csv plink.csv ");
    }

    // A folder the user may not write: the refusal comes before -o is touched.
    fs::create_directory(dir.path / "shut");
    ::chmod((dir.path / "shut").c_str(), 0555);
    const std::vector<std::string> shut = [&] {
        std::vector<std::string> args = base();
        args.insert(args.end(),
                    {"--apply", Readings, "--predictions", (dir.path / "shut" / "p.csv").string()});
        return args;
    }();
    EXPECT_EQ(test::asUnprivilegedUser([&] {
                  const test::BatchRun r = test::runBatchCommand(shut);
                  return r.status == 1 && r.err.find("is not writable") != std::string::npos ? 0
                                                                                             : 1;
              }),
              0);
    EXPECT_EQ(test::slurp(keep), "old");
    EXPECT_EQ(test::listing(dir.path / "shut"), "");
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
    std::vector<std::string> args = base();
    args.insert(args.end(), {"--figures", figures});
    const test::BatchRun r = run(args);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + figures + "/fig5.png: "), std::string::npos) << r.err;
    expectAllOld("figs keep.csv ");

    // Without the limit every output is replaced at once.
    draw = nullptr;
    const std::string predictions = (dir.path / "p.csv").string();
    args.insert(args.end(), {"--apply", Readings, "--predictions", predictions});
    const test::BatchRun done = run(args);
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_TRUE(test::slurp(keep).starts_with("\"Quendrix common output format\""));
    EXPECT_TRUE(test::slurp(predictions).starts_with("line,x,status,"));
    for (const std::string& name : figureFileNames(FigureFormat::Png)) {
        EXPECT_EQ(test::slurp(figures + "/" + name), "new " + name);
    }
}

} // namespace
