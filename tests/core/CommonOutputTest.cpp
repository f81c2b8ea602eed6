#include "export/CommonOutput.h"
#include "export/AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace quendrix;
namespace fs = std::filesystem;

namespace {

const char* const Golden = QUENDRIX_TEST_DATA "/output/small_block/expected.csv";

// Lines without their CR LF; text after the last CR LF would be an error.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
        lines.push_back(text.substr(from, at - from));
    }
    EXPECT_EQ(from, text.size());
    return lines;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The inputs of the golden case; make_expected.py beside expected.csv writes the same.
CommonOutputHead goldenHead() {
    return {.file1Path = "/data/cal \"2024\".csv",
            .file1X = "Field reading (mg/L)",
            .file1Y = "Reference",
            .file2Path = "err.csv",
            .file2X = "A 1",
            .file2Y = "A 2",
            .smoothing = 7.5f,
            .verticalThreshold = 3,
            .horizontalThreshold = 0,
            .coefficient2 = 99.9f,
            .lowerText = "-1",
            .upperText = "1"};
}

ExportMatrix goldenMatrix() {
    ExportMatrix m;
    const float row0[] = {0.5f, -0.5f, 3, 68.2f, 0.001234f, -0.0f, 1e8f, 2.5e-5f};
    for (int i = 0; i < 8; ++i) {
        m.at(i, 0) = row0[i];
    }
    m.at(0, 1) = 12345678;
    m.at(100, 100) = 1.5f;
    m.at(199, 200) = -2.25f;
    m.at(200, 200) = 1e-5f;
    return m;
}

} // namespace

TEST(CommonOutput, GoldenFileByteForByte) {
    const std::string text = commonOutputText(goldenHead(), goldenMatrix());
    EXPECT_EQ(text, slurp(Golden));
    const auto lines = crlfLines(text);
    ASSERT_EQ(lines.size(), 217u);
    EXPECT_EQ(lines[1], "\"Head note length (lines): \",\"15\"");
    EXPECT_EQ(lines[3], "\"Original file1: \",\"/data/cal \"2024\".csv\"");
    EXPECT_EQ(lines[13], "\"Confidence coefficient1 (%):\",68.2");
    EXPECT_EQ(lines[15].substr(0, 16), ",-1,-.99,-.98,-.");
    EXPECT_EQ(lines[16].substr(0, 41), "-1,.5,-.5,3,68.2,.001234,0,1E+08,2.5E-05,");
}

TEST(CommonOutput, ModelModeAndAxisForms) {
    CommonOutputHead h = goldenHead();
    h.generatedModel = true;
    h.modelPercent = 7;
    h.lowerText = "10"; // descending
    h.upperText = "0";
    auto lines = crlfLines(commonOutputText(h, ExportMatrix{}));
    ASSERT_EQ(lines.size(), 217u);
    EXPECT_EQ(lines[6] + lines[7] + lines[8], "\"Original file2: \",\"N/A\"\"Alternative: \","
                                              "\"Model\"\"Std. Dev. (% of range): \",7");
    EXPECT_EQ(lines[15].substr(0, 9), ",10,9.95,");
    EXPECT_NE(lines[15].find(",5.05,5,4.95,"), std::string::npos);
    EXPECT_EQ(lines[15].substr(lines[15].size() - 6), ",.05,0");

    // Axis(200) is the upper bound itself; 1E9 + (.5 - 1E9) / 200 * 200 would be .50000012.
    h.lowerText = "1E9";
    h.upperText = ".5";
    lines = crlfLines(commonOutputText(h, ExportMatrix{}));
    EXPECT_EQ(lines[15].substr(0, 7), ",1E+09,");
    EXPECT_EQ(lines[15].substr(lines[15].size() - 3), ",.5");

    h.lowerText = h.upperText = ""; // empty boxes read as 0
    lines = crlfLines(commonOutputText(h, ExportMatrix{}));
    std::string zeros;
    for (int k = 0; k < 201; ++k) {
        zeros += ",0";
    }
    EXPECT_EQ(lines[15], zeros);
    EXPECT_EQ(lines[100], "0" + zeros);
}

TEST(CommonOutput, WritesReplaceTheTargetOrLeaveEverythingAsItWas) {
    const fs::path dir = fs::temp_directory_path() / ("quendrix_out_" + std::to_string(getpid()));
    fs::create_directories(dir / "taken" / "inside");
    const fs::path target = dir / "out.csv";
    std::ofstream(target, std::ios::binary) << "old";
    auto entries = [&dir] { return std::distance(fs::directory_iterator(dir), {}); };

    Status st = writeCommonOutput((dir / "missing" / "out.csv").string(), goldenHead(), {});
    EXPECT_NE(st.reason().find("out.csv"), std::string::npos) << st.reason();
    // A folder as target: the rename fails after the temporary file was written.
    EXPECT_FALSE(writeFileAtomically((dir / "taken").string(), "new").ok());
    EXPECT_TRUE(fs::exists(dir / "taken" / "inside"));

    // A write that fails part-way (file size limit) keeps the existing file.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    st = writeCommonOutput(target.string(), goldenHead(), goldenMatrix());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(slurp(target), "old");

    // A read-only folder (root may write there anyway, then there is nothing to check).
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (access(dir.c_str(), W_OK) != 0) {
        EXPECT_FALSE(writeCommonOutput(target.string(), goldenHead(), goldenMatrix()).ok());
        EXPECT_EQ(slurp(target), "old");
    }
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(entries(), 2); // "taken" and "out.csv": no temporary file left

    ASSERT_TRUE(writeCommonOutput(target.string(), goldenHead(), goldenMatrix()).ok());
    EXPECT_EQ(slurp(target), slurp(Golden));
    EXPECT_EQ(entries(), 2);
    fs::remove_all(dir);
}
