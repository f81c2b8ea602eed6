#include "data/DataFileReader.h"
#include "base/NumberText.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <unistd.h>

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

// A file comes in blocks and a record is read at once only where it lies within one: wherever a
// block ends, inside a number, between CR and LF or inside quotes, the records and the line of a
// failure are those of the same bytes read as one block.
TEST(DataFileReaderTest, BlockEndsAnywhereInARecord) {
    const std::string good =
        "x,y\r\n12.5,-3\r\n7,8\n+9.25,1e2\r10,\"11\",.5, 6 \n-0.125,-9999\r\n13\r\n14\n";
    EXPECT_EQ(describe(parseDataFile(good)),
              "x|y N=6 12.5,-3 7,8 9.25,100 10,11 0.5,6 -0.125,-9999 13,14 [-3..100]");
    const std::string bad = good + "15,\n";
    EXPECT_EQ(describe(parseDataFile(bad)), "line 9: empty Y value");
    for (size_t block = 1; block <= bad.size(); ++block) {
        EXPECT_EQ(describe(parseDataFile(good, block)), describe(parseDataFile(good))) << block;
        EXPECT_EQ(describe(parseDataFile(bad, block)), "line 9: empty Y value") << block;
    }
    // A file on disk, its first 64 KB block ending between the CR and the LF of a record.
    const test::TempDir dir("quendrix_reader_blocks_");
    std::string big = "x,y\r\n";
    while (big.size() + 11 < 65530) {
        big += "1.25,-2.5\r\n";
    }
    // An X of 1 to 11 characters ("1", "1.", "1.0" ...) puts the CR last in the block.
    big += "1";
    if (big.size() < 65530) {
        big += ".";
        big.append(65530 - big.size(), '0');
    }
    big += ",22.5\r\n3,4\r\n";
    ASSERT_EQ(big.substr(65535, 2), "\r\n");
    EXPECT_EQ(describe(readDataFile(dir.file("blocks.csv", big))), describe(parseDataFile(big)));
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

TEST(DataFileReaderTest, EncodingsAndFieldsWithoutANumber) {
    // A UTF-8 byte-order mark reads as if it were not there.
    EXPECT_EQ(describe(parseDataFile("\xEF\xBB\xBFx,y\n1,2\n")), "x|y N=1 1,2 [1..2]");
    // UTF-16 and UTF-32, with or without a byte-order mark, are refused as such.
    using namespace std::string_view_literals;
    for (std::string_view bytes :
         {"\xFF\xFEx\0,\0y\0\n\0001\0,\0002\0"sv, "\xFE\xFF\0x\0,\0y"sv,
          "\0x\0,\0y\0\n\0001\0,\0002\0\n"sv, "x\0,\0y\0\n\0"sv, "\xFF\xFE\0\0x\0\0\0"sv,
          "\0\0\xFE\xFF\0\0\0x"sv, "x\0\0\0,\0\0\0y\0\0\0\n\0\0\0"sv}) {
        EXPECT_EQ(describe(parseDataFile(bytes)), "not a text file in UTF-8 or ASCII");
    }

    // Letters, bytes that are not text and a bare "&H" hold no number: read as 0 and counted;
    // a written 0, an empty field (refused anyway) and a marker are not.
    const auto read = parseDataFile("x,y\n0,-9999\nabc,1\n2,\x01\x02\n3,&H\n4,\"0\"\n");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fieldsWithoutNumber, 3);
    EXPECT_EQ(read->firstFieldWithoutNumberLine, 3);
    EXPECT_EQ(importWarning(0, read.value()),
              "File 1: 3 fields without a number were read as 0 (first on line 3)");
    const auto one = parseDataFile("x,y\n1,2\r\n\"a\nb\",3\n5,junk\n");
    ASSERT_TRUE(one);
    EXPECT_EQ(importWarning(1, one.value()),
              "File 2: 2 fields without a number were read as 0 (first on line 3)");
    EXPECT_EQ(importWarning(1, parseDataFile("x,y\n1,0\n-9999,2\n").value()), "");
    EXPECT_EQ(importWarning(0, parseDataFile("x,y\n1,z\n").value()),
              "File 1: 1 field without a number was read as 0 (first on line 2)");
}

TEST(DataFileReaderTest, StreamsAndStopsEarlyWithBoundedMemory) {
    // A field without any separator is cut off instead of growing without bound.
    EXPECT_EQ(describe(parseDataFile("x,y\n1," + std::string(3 << 20, '7'))),
              "line 2: a field longer than 1048576 characters");
    EXPECT_EQ(describe(parseDataFile("\"" + std::string(3 << 20, 'n'))),
              "line 1: a field longer than 1048576 characters");
    const std::string longest(1 << 20, 'n');
    EXPECT_EQ(describe(parseDataFile(longest + ",y\n")), longest + "|y N=0");
    EXPECT_EQ(describe(parseDataFile(longest + "n,y\n")),
              "line 1: a field longer than 1048576 characters");

    // A pipe that hands over a single byte first: the encoding is still told from the start.
    {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::thread writer([out = fds[1]] {
            const std::string_view utf16("x\0,\0y\0\n\0001\0,\0002\0\n\0", 16);
            (void)!::write(out, utf16.data(), 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            (void)!::write(out, utf16.data() + 1, utf16.size() - 1);
            ::close(out);
        });
        EXPECT_EQ(readDataFile("/dev/fd/" + std::to_string(fds[0])).reason(),
                  "not a text file in UTF-8 or ASCII");
        writer.join();
        ::close(fds[0]);
    }

    // 200 MB of records through a pipe: the reader stops at the first record beyond the limit,
    // so the writer gets no further than what fills the pipe behind it.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    auto previous = std::signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    std::thread writer([&written, out = fds[1]] {
        std::string block = "x,y\n";
        while (block.size() < 65536) {
            block += "1.25,2.5\n";
        }
        while (written < (200u << 20)) {
            const ssize_t n = ::write(out, block.data(), block.size());
            if (n <= 0) {
                break;
            }
            written += size_t(n);
            block.replace(0, 4, "1,2\n"); // the header only once
        }
        ::close(out);
    });
    const auto read = readDataFile("/dev/fd/" + std::to_string(fds[0]));
    ::close(fds[0]);
    writer.join();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(read.reason(), "line 10002: more than 10000 records");
    EXPECT_LT(written, 4u << 20);
}
