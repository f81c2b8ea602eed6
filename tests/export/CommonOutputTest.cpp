#include "export/CommonOutput.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quendrix;

// The inputs of the golden case; make_expected.py beside expected.csv writes the same.
// clang-format off
const CommonOutputHead GoldenHead{
    .file1Path = "/data/cal \"2024\".csv", .file1X = "Field reading (mg/L)", .file1Y = "Reference",
    .file2Path = "err.csv", .file2X = "A 1", .file2Y = "A 2", .smoothing = 7.5f,
    .verticalThreshold = 3, .horizontalThreshold = 0, .coefficient2 = 99.9f, .lowerText = "-1",
    .upperText = "1"};
// clang-format on

// The head of the generated model is in the golden output of tests/golden/output/examples_model.
TEST(CommonOutput, GoldenFileAxisFormsAndLineBreaksInCaptions) {
    ExportMatrix m;
    const std::tuple<int, int, float> cells[] = {
        {0, 0, 0.5f},      {1, 0, -0.5f},    {2, 0, 3},          {3, 0, 68.2f},
        {4, 0, 0.001234f}, {5, 0, -0.0f},    {6, 0, 1e8f},       {7, 0, 2.5e-5f},
        {0, 1, 12345678},  {100, 100, 1.5f}, {199, 200, -2.25f}, {200, 200, 1e-5f}};
    for (const auto& [i, j, v] : cells) {
        m.at(i, j) = v;
    }
    EXPECT_EQ(commonOutputText(GoldenHead, m),
              test::slurp(QUENDRIX_TEST_DATA "/output/small_block/expected.csv"));

    // A descending range; one whose axis(200) is the bound, not .50000012: axis line, row starts.
    CommonOutputHead h = GoldenHead;
    const std::string axes[][4] = {{"10", "0", "99.9\r\n,10,9.95,9.9,", ",.1,.05,0\r\n10,0,"},
                                   {"1E9", ".5", "99.9\r\n,1E+09,", ",.5\r\n1E+09,"}};
    for (const auto& [lower, upper, first, last] : axes) {
        h.lowerText = lower;
        h.upperText = upper;
        const std::string text = commonOutputText(h, ExportMatrix{});
        EXPECT_NE(text.find(first), std::string::npos) << first;
        EXPECT_NE(text.find(last), std::string::npos) << last;
    }

    h = GoldenHead;
    h.file1X = "Field\r\nreading";
    h.file2Y = "A\n2\r";
    h.file1Path = "/data/\rcal.csv";
    const std::string text = commonOutputText(h, ExportMatrix{});
    // 15 lines of head note, the axis line and 201 rows, each ended by CR LF and by no other.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 217);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 217);
    EXPECT_NE(text.find("\"Original file1: \",\"/data/ cal.csv\"\r\n\"X: \",\"Field reading\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"Y: \",\"A 2 \"\r\n\"Resolution"), std::string::npos);
}
