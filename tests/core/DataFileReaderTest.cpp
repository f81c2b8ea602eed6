#include "data/DataFileReader.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

using namespace quendrix;

// The whole outcome in one line: "names N=count records [min..max]", or the failure's reason.
static std::string describe(const Result<DataFile>& f) {
    if (!f) {
        return f.reason();
    }
    std::string out = f->xName + "|" + f->yName + " N=" + std::to_string(f->completeCount);
    for (const Sample& s : f->records) {
        out.append(" ").append(shortestText(s.x)).append(",").append(shortestText(s.y));
    }
    if (f->dataMin) {
        out += " [" + shortestText(*f->dataMin) + ".." + shortestText(f->dataMax.value()) + "]";
    }
    return out;
}

TEST(DataFileReaderTest, RecordsAndFailuresWithTheirLine) {
    // Every line end, no final line end, trailing blanks, surplus fields and a record over lines.
    for (const char* bytes : {"x,y\r\n1,2\r\n3,4\r\n", "x,y\r1,2\r3,4", "x,y\n1,2\n3,4\n \t ",
                              "x,y\n1,2,3\n4\n", "x,y\n1\n2\n3,4"}) {
        EXPECT_EQ(describe(parseDataFile(bytes)), "x|y N=2 1,2 3,4 [1..4]") << bytes;
    }
    const std::pair<const char*, const char*> cases[] = {
        // Quotes keep commas; what follows a closing quote up to the separator is dropped.
        {" Depth m\t,\"Age, ka\"\n\"1,5\"junk , 2 \n\t-3\t,\" 4\"\"\n",
         "Depth m|Age, ka N=2 1,2 -3,4 [-3..4]"},
        // Markers are kept but neither counted nor extremes; letters read as 0.
        {"x,y\n1,-9999\n-9999,2\nabc,2.5\n-3,8\n", "x|y N=2 1,-9999 -9999,2 0,2.5 -3,8 [-3..8]"},
        {"x,y\n", "x|y N=0"},
        {"x,y\n-9999,-9999\n", "x|y N=0 -9999,-9999"},
        {"x,y\n3.4E38,-3.4E38\n", "x|y N=1 3.4E+38,-3.4E+38 [-3.4E+38..3.4E+38]"},
        {"x,y\r\n1,2\r\n\r\n", "line 3: empty X value"},
        {"x,y\r1,2\r \t,4", "line 3: empty X value"},
        {"x,y\n1,2\n\"\",4", "line 3: empty X value"},
        {"x,y\n1,2\n3,\n5,6", "line 3: empty Y value"},
        {"x,y\n1,2\n3\n\n", "line 4: empty Y value"},
        {"\"x\ny\",z\r\n1,\r\n", "line 3: empty Y value"},
        {"x,y\n1,2\n3\n", "line 3: the file ends in the middle of a record"},
        {"x,y\n1,2\n3,1E39\n", "line 3: value out of range"},
        {"x,y\n-4D38,2\n", "line 2: value out of range"},
        {"x,y\n1,1E400\n", "line 2: value out of range"}};
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(describe(parseDataFile(bytes)), expected) << bytes;
    }
}

TEST(DataFileReaderTest, RecordLimitAndFolder) {
    std::string text = "x,y\n";
    for (int r = 1; r <= 10000; ++r) {
        text += std::to_string(r) + ",1\n";
    }
    EXPECT_EQ(describe(parseDataFile(text)).substr(0, 11), "x|y N=10000");
    EXPECT_EQ(describe(parseDataFile(text + "1,1\n")), "line 10002: more than 10000 records");

    const std::string folder = describe(readDataFile(QUENDRIX_TEST_DATA));
    EXPECT_NE(folder.find("folder"), std::string::npos) << folder;
}
