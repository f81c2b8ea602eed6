#include "batch/BatchCommand.h"
#include "app/CalibrationSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace quendrix;
namespace fs = std::filesystem;

namespace {

const std::string Calibration = QUENDRIX_EXAMPLES "/calibration.csv";
const std::string Error = QUENDRIX_EXAMPLES "/error.csv";

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> split(const std::string& text, const std::string& end) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size()) {
        out.push_back(text.substr(from, at - from));
    }
    return out;
}

class BatchCommandTest : public testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("quendrix_batch_" + std::to_string(getpid()));
    std::string output = (dir / "out.csv").string();
    std::string out, err;

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    int batch(std::vector<std::string> args) {
        args.insert(args.begin(), "quendrix-batch");
        std::vector<const char*> argv;
        for (const auto& a : args) {
            argv.push_back(a.c_str());
        }
        std::ostringstream o, e;
        const int status = runBatch(int(argv.size()), argv.data(), o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    // The same calibration through the session, as the desktop program would save it.
    CalibrationSession session(const char* c1 = nullptr, const char* lo = nullptr,
                               const char* hi = nullptr) {
        CalibrationSession s;
        if (c1) {
            s.setCoefficientText(0, c1);
        }
        EXPECT_TRUE(s.importFile(0, Calibration, Calibration));
        EXPECT_TRUE(s.importFile(1, Error, Error));
        if (lo) {
            s.setRangeTexts(lo, hi);
            EXPECT_TRUE(s.validateRange());
        }
        EXPECT_TRUE(s.runAll());
        return s;
    }
};

} // namespace

TEST_F(BatchCommandTest, WritesWhatTheSessionSavesAndPrintsTheReadout) {
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "-o", output}), 0) << err;
    EXPECT_EQ(split(out, "\n").size(), 1u);
    EXPECT_NE(out.find(output), std::string::npos) << out;
    const std::string written = slurp(output);
    EXPECT_EQ(split(written, "\r\n").size(), 217u);
    CalibrationSession s = session();
    ASSERT_TRUE(s.saveCommonOutput((dir / "session.csv").string()));
    EXPECT_EQ(written, slurp(dir / "session.csv"));

    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--c1", "50", "--range", "-5", "60",
                     "--section", "50", "-o", output}),
              0)
        << err;
    const auto printed = split(out, "\n");
    s = session("50", "-5", "60");
    ASSERT_TRUE(s.buildDetail());
    const auto readout = s.readout(50);
    ASSERT_TRUE(readout.ok());
    ASSERT_GE(printed.size(), 7u);
    EXPECT_EQ(printed[1], "50 %");
    EXPECT_EQ(std::vector<std::string>(printed.begin() + 1, printed.end()), readout->panelLines());
}

TEST_F(BatchCommandTest, ModelSdWritesTheModelHead) {
    ASSERT_EQ(batch({"--file1", Calibration, "--model-sd", "7", "-o", output}), 0) << err;
    const auto lines = split(slurp(output), "\r\n");
    ASSERT_EQ(lines.size(), 217u);
    EXPECT_EQ(lines[6], "\"Original file2: \",\"N/A\"");
    EXPECT_EQ(lines[7], "\"Alternative: \",\"Model\"");
    EXPECT_EQ(lines[8], "\"Std. Dev. (% of range): \",7");
}

TEST_F(BatchCommandTest, BadInputFailsClearlyAndWritesNothing) {
    const std::string emptyY = (dir / "emptyY.csv").string();
    std::ofstream(emptyY, std::ios::binary) << "A,B\n1,2\n3,\n";
    const std::string absent = (dir / "absent.csv").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--file1", absent, "--file2", Error}, "absent.csv"},
        {{"--file1", Calibration, "--file2", Error, "--smoothing", "abc"}, "--smoothing"},
        {{"--file1", Calibration, "--file2", Error, "--smoothing", "0"}, "--smoothing"},
        {{"--file1", Calibration, "--file2", Error, "--range", "10", "10.0"},
         "Please set valid range."},
        {{"--file1", Calibration, "--file2", emptyY}, "line 3"},
        {{"--file1", Calibration}, "--file2"}};
    for (auto [args, mentions] : cases) {
        args.insert(args.end(), {"-o", output});
        EXPECT_NE(batch(args), 0) << mentions;
        EXPECT_NE(err.find(mentions), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(output)) << mentions;
    }
}

TEST_F(BatchCommandTest, HelpNamesEveryOption) {
    EXPECT_EQ(batch({"--help"}), 0);
    for (const char* option :
         {"--file1", "--file2", "--model-sd", "--range", "--smoothing", "--vthreshold",
          "--hthreshold", "--skip", "--c1", "--c2", "--section", "--output"}) {
        EXPECT_NE(out.find(option), std::string::npos) << option;
    }
}
