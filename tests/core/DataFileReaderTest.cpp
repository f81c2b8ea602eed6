#include "data/DataFileReader.h"
#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using namespace quendrix;

namespace {

// The whole outcome in one line: "names N=count records [min..max]", or the failure's reason.
std::string describe(const Result<DataFile>& file) {
    if (!file) {
        return file.reason();
    }
    std::string text =
        file->xName + "|" + file->yName + " N=" + std::to_string(file->completeCount);
    for (const Sample& s : file->records) {
        text.append(" ").append(shortestText(s.x)).append(",").append(shortestText(s.y));
    }
    if (file->dataMin && file->dataMax) {
        text += " [" + shortestText(*file->dataMin) + ".." + shortestText(*file->dataMax) + "]";
    }
    return text;
}

std::string parsed(std::string_view bytes) {
    return describe(parseDataFile(bytes));
}

std::string records(int count) {
    std::string text = "x,y\n";
    for (int r = 1; r <= count; ++r) {
        text += std::to_string(r) + "," + std::to_string(2 * r) + "\n";
    }
    return text;
}

} // namespace

TEST(DataFileReaderTest, LineEndsCommasQuotesAndBlanks) {
    for (std::string_view bytes : {"x,y\r\n1,2\r\n3,4\r\n", "x,y\r1,2\r3,4", "x,y\n1,2\n3,4\n \t ",
                                   "x,y\n1,2,3\n4\n", "x,y\n1\n2\n3,4"}) {
        EXPECT_EQ(parsed(bytes), "x|y N=2 1,2 3,4 [1..4]") << bytes;
    }
    // Quotes keep commas; what follows a closing quote up to the separator is dropped.
    EXPECT_EQ(parsed(" Depth m\t,\"Age, ka\"\n\"1,5\"junk , 2 \n\t-3\t,\" 4\"\"\n"),
              "Depth m|Age, ka N=2 1,2 -3,4 [-3..4]");
}

TEST(DataFileReaderTest, EmptyFieldsAndTruncatedRecordsFailAtTheirLine) {
    EXPECT_EQ(parsed("x,y\n1,2\n\n3,4\n"), "line 3: empty X value");
    EXPECT_EQ(parsed("x,y\r\n1,2\r\n\r\n"), "line 3: empty X value");
    EXPECT_EQ(parsed("x,y\r1,2\r \t,4"), "line 3: empty X value");
    EXPECT_EQ(parsed("x,y\n1,2\n\"\",4"), "line 3: empty X value");
    EXPECT_EQ(parsed("x,y\n1,2\n3,\n5,6"), "line 3: empty Y value");
    EXPECT_EQ(parsed("x,y\n1,2\n3\n\n"), "line 4: empty Y value");
    EXPECT_EQ(parsed("\"x\ny\",z\r\n1,\r\n"), "line 3: empty Y value");
    EXPECT_EQ(parsed("x,y\n1,2\n3"), "line 3: the file ends in the middle of a record");
    EXPECT_EQ(parsed("x,y\n1,2\n3\n"), "line 3: the file ends in the middle of a record");
}

TEST(DataFileReaderTest, MarkersAreStoredButNotCountedNorUsedForTheExtremes) {
    // Letters only read as 0, and such a record counts.
    EXPECT_EQ(parsed("x,y\n1,-9999\n-9999,2\nabc,2.5\n-3,8\n"),
              "x|y N=2 1,-9999 -9999,2 0,2.5 -3,8 [-3..8]");
    EXPECT_EQ(parsed("x,y\n"), "x|y N=0");
    EXPECT_EQ(parsed("x,y\n-9999,-9999\n"), "x|y N=0 -9999,-9999");
}

TEST(DataFileReaderTest, RecordLimitAndValueRange) {
    auto full = parseDataFile(records(10000));
    ASSERT_TRUE(full) << full.reason();
    EXPECT_EQ(full->completeCount, 10000);
    EXPECT_EQ(full->dataMax, 20000.0f);
    EXPECT_EQ(parsed(records(10001)), "line 10002: more than 10000 records");

    EXPECT_EQ(parsed("x,y\n3.4E38,-3.4E38\n"), "x|y N=1 3.4E+38,-3.4E+38 [-3.4E+38..3.4E+38]");
    EXPECT_EQ(parsed("x,y\n1,2\n3,1E39\n"), "line 3: value out of range");
    EXPECT_EQ(parsed("x,y\n-4D38,2\n"), "line 2: value out of range");
    EXPECT_EQ(parsed("x,y\n1,1E400\n"), "line 2: value out of range");
}

TEST(DataFileReaderTest, ReadsFilesFromDisk) {
    const std::string dir = std::string(QUENDRIX_TEST_DATA) + "/reader/";
    EXPECT_EQ(describe(readDataFile(dir + "file_ending_without_line_break.csv")),
              "Reference|Measured N=3 1.5,1.6 2.5,2.4 -9999,3 4,4.1 [1.5..4.1]");
    EXPECT_EQ(describe(readDataFile(dir + "quoted_fields_crlf.csv")),
              "Depth, m|Age (ka) N=2 0.5,1 2,3 [0.5..3]");
    EXPECT_EQ(describe(readDataFile(dir + "blank_line_at_end.csv")), "line 4: empty X value");

    const std::string missing = describe(readDataFile(dir + "no_such_file.csv"));
    EXPECT_NE(missing.find("cannot open"), std::string::npos) << missing;
    EXPECT_NE(missing.find("no_such_file.csv"), std::string::npos) << missing;
    const std::string folder = describe(readDataFile(dir));
    EXPECT_NE(folder.find("folder"), std::string::npos) << folder;
}
