#include "data/DataFileReader.h"

#include "FileDescriptions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace quendrix;
using test::describe;

namespace {

// The data file that `write` puts into a pipe from a thread of its own, read as it comes.
Result<DataFile> readFromPipe(const std::function<void(int)>& write) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return Failure{"no pipe"};
    }
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        write(fds[1]);
        ::close(fds[1]);
    });
    auto read = readDataFile("/dev/fd/" + std::to_string(fds[0]));
    ::close(fds[0]); // a writer still under way stops here
    writer.join();
    std::signal(SIGPIPE, previous);
    return read;
}

} // namespace

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
        {"x,y\n-4D38,2\n", "line 2: value out of range"}};
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(describe(parseDataFile(bytes)), expected) << bytes;
    }
}

// Records are read at once only within a block: wherever a block ends, the result is the same.
TEST(DataFileReaderTest, BlockEndsAnywhereInARecord) {
    const std::string good =
        "x,y\r\n12.5,-3\r\n7,8\n+9.25,1e2\r10,\"11\",.5, 6 \n-0.125,-9999\r\n13\r\n14\n";
    EXPECT_EQ(describe(parseDataFile(good)),
              "x|y N=6 12.5,-3 7,8 9.25,100 10,11 0.5,6 -0.125,-9999 13,14 [-3..100]");
    const std::string bad = good + "15,\n";
    for (size_t block = 1; block <= bad.size(); ++block) {
        EXPECT_EQ(describe(parseDataFile(good, block)), describe(parseDataFile(good))) << block;
        EXPECT_EQ(describe(parseDataFile(bad, block)), "line 9: empty Y value") << block;
    }
}

TEST(DataFileReaderTest, EncodingsAndFieldsWithoutANumber) {
    // A UTF-8 byte-order mark reads as if it were not there.
    EXPECT_EQ(describe(parseDataFile("\xEF\xBB\xBFx,y\n1,2\n")), "x|y N=1 1,2 [1..2]");
    // UTF-16 and UTF-32, with or without a byte-order mark, are refused as such.
    using namespace std::string_view_literals;
    for (std::string_view bytes : {"\xFF\xFEx\0,\0y\0\n\0001\0,\0002\0"sv, "\xFE\xFF\0x\0,\0y"sv,
                                   "\0x\0,\0y\0\n\0001\0,\0002\0\n"sv, "x\0,\0y\0\n\0"sv,
                                   "\0\0\xFE\xFF\0\0\0x"sv, "x\0\0\0,\0\0\0y\0\0\0\n\0\0\0"sv}) {
        EXPECT_EQ(describe(parseDataFile(bytes)), "not a text file in UTF-8 or ASCII");
    }

    // Letters, bytes that are not text and a bare "&H" hold no number: read as 0 and counted;
    // a written 0, an empty field (refused anyway) and a marker are not.
    EXPECT_EQ(
        importWarning(0, parseDataFile("x,y\n0,-9999\nabc,1\n2,\x01\x02\n3,&H\n4,\"0\"\n").value()),
        "File 1: 3 fields without a number were read as 0 (first on line 3)");
    EXPECT_EQ(importWarning(1, parseDataFile("x,y\n1,2\r\n\"a\nb\",3\n5,junk\n").value()),
              "File 2: 2 fields without a number were read as 0 (first on line 3)");
    EXPECT_EQ(importWarning(1, parseDataFile("x,y\n1,0\n-9999,2\n").value()), "");
}

TEST(DataFileReaderTest, LimitsStreamsAndFolders) {
    // A field without any separator is cut off instead of growing without bound.
    EXPECT_EQ(describe(parseDataFile(std::string(1, '"').append(3 << 20, 'n'))),
              "line 1: a field longer than 1048576 characters");
    const std::string longest(1 << 20, 'n');
    EXPECT_EQ(describe(parseDataFile(longest + ",y\n")), longest + "|y N=0");
    EXPECT_EQ(describe(parseDataFile(longest + "n,y\n")),
              "line 1: a field longer than 1048576 characters");

    // A pipe that hands over a single byte first: the encoding is still told from the start.
    EXPECT_EQ(readFromPipe([](int out) {
                  const std::string_view utf16("x\0,\0y\0\n\0001\0,\0002\0\n\0", 16);
                  (void)!::write(out, utf16.data(), 1);
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  (void)!::write(out, utf16.data() + 1, utf16.size() - 1);
              }).reason(),
              "not a text file in UTF-8 or ASCII");

    // 200 MB of records: the reader stops at the first record beyond the limit, the writer soon.
    size_t written = 0;
    const auto read = readFromPipe([&written](int out) {
        std::string block = "x,y\n";
        while (block.size() < 65536) {
            block += "1.25,2.5\n";
        }
        for (ssize_t n;
             written < (200u << 20) && (n = ::write(out, block.data(), block.size())) > 0;) {
            written += size_t(n);
            block.replace(0, 4, "1,2\n"); // the header only once
        }
    });
    EXPECT_EQ(read.reason(), "line 10002: more than 10000 records");
    EXPECT_LT(written, 4u << 20);

    // At the limit only a record is one too many; what else ends a file is judged as ever.
    std::string text = "x,y\n";
    for (int r = 1; r <= 10000; ++r) {
        text += std::to_string(r) + ",1\n";
    }
    EXPECT_EQ(describe(parseDataFile(text)).substr(0, 11), "x|y N=10000");
    EXPECT_EQ(describe(parseDataFile(text + "\n")), "line 10002: empty X value");

    EXPECT_EQ(readDataFile(QUENDRIX_TEST_DATA).reason(),
              "cannot open " QUENDRIX_TEST_DATA ": it is a folder");
}

// Spreadsheets in decimal-comma locales save semicolon files, some programs tab files.
TEST(DataFileReaderTest, SemicolonAndTabFilesReadLikeTheCommaForm) {
    struct Case {
        std::string other;
        std::string comma;
        const char* note;
    };
    const std::string longName =
        "\"Depth below the floor, in metres, as the label of the core says\"";
    const Case cases[] = {
        {"X;Y\r\n1,5;2,25\r\n\"-3,5\" ; \" 4,75\"\r\n1,5E3;-9999\r\n&H1F;1,5D-1\r\nn/a;, 5\r\n",
         "X,Y\r\n1.5,2.25\r\n\"-3.5\" , \" 4.75\"\r\n1.5E3,-9999\r\n&H1F,1.5D-1\r\nn/a,. 5\r\n",
         "read as semicolon-separated, decimal comma"},
        // Points still read as points; records need not follow lines.
        {"X;Y;1.5;2\n3;4", "X,Y,1.5,2\n3,4", "read as semicolon-separated, decimal comma"},
        // Quoted separators do not count, however long the name; a tab beside a ';' is a blank.
        {longName + ";\t\"Age; ka\"\n1,5;2", longName + ",\"Age; ka\"\n1.5,2",
         "read as semicolon-separated, decimal comma"},
        {"Size 5\";Count\n1,5;2\n", "Size 5\",Count\n1.5,2\n",
         "read as semicolon-separated, decimal comma"},
        // In a tab file a comma is no decimal point; blanks are still dropped.
        {"X\tY\n1.5\t 2 \n\"3\t\"\t4,5\n", "X,Y\n1.5, 2 \n\"3\t\",\"4,5\"\n",
         "read as tab-separated"},
        {"X\tY\n1\t\t2\n", "X,Y\n1,,2\n", "read as tab-separated"},
        {"X;Y\n1;2\n\n", "X,Y\n1,2\n\n", "read as semicolon-separated, decimal comma"},
        // A comma anywhere in the header line keeps the comma form.
        {"x;a,y\n1;5,2\n", "\"x;a\",y\n\"1;5\",2\n", ""}};
    for (const auto& [bytes, comma, note] : cases) {
        // The texts of singles read back to their bits, so equal descriptions are equal data.
        const auto read = parseDataFile(bytes), expected = parseDataFile(comma);
        EXPECT_EQ(describe(read), describe(expected)) << bytes;
        if (read && expected) {
            EXPECT_EQ(read->fieldsWithoutNumber, expected->fieldsWithoutNumber) << bytes;
            EXPECT_EQ(conventionNote(read->convention), note) << bytes;
        }
        // The header line is looked at whole wherever the blocks end.
        for (size_t block = 1; block <= bytes.size(); ++block) {
            EXPECT_EQ(describe(parseDataFile(bytes, block)), describe(read)) << bytes << block;
        }
        // Files of measurements follow the same convention.
        const auto measured = parseMeasurementFile(bytes);
        EXPECT_EQ(describe(measured), describe(parseMeasurementFile(comma))) << bytes;
        if (measured) {
            EXPECT_EQ(conventionNote(measured->convention), note) << bytes;
        }
    }
    // A column of X values has no separator to tell: it is a comma file, as before.
    const auto column = parseMeasurementFile("Reading\n1.5\n\n2\n");
    EXPECT_EQ(describe(column), "Reading| 2:1.5,- 4:2,-");
    EXPECT_EQ(conventionNote(column.value().convention), "");
}

// A quote left open would take the rest of the file as one field.
TEST(DataFileReaderTest, UnclosedQuoteIsRefusedAtItsLine) {
    std::string lines;
    for (int r = 2; r <= 300; ++r) {
        lines += std::string(r == 101 ? "\"" : "") + std::to_string(r) + ",1\n";
    }
    const std::pair<std::string, const char*> cases[] = {
        {"x,y\n" + lines, "line 101: a quoted field is not closed"},
        {"x,y\n1,\"2\r\n3,4\r\n", "line 2: a quoted field is not closed"},
        {"\"x,y\n1,2\n", "line 1: a quoted field is not closed"},
        {"x;y\n1;2\n\"3;4\n", "line 3: a quoted field is not closed"},
        {"x,y\n1,2\n3,\"", "line 3: a quoted field is not closed"}};
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(describe(parseDataFile(bytes)), expected) << bytes;
        EXPECT_EQ(describe(parseDataFile(bytes, 7)), expected) << bytes;
        EXPECT_EQ(describe(parseMeasurementFile(bytes)), expected) << bytes;
    }
}

// A pipe may bring more than 2^31 lines: counted from just below, every line number stays whole.
TEST(DataFileReaderTest, LineNumbersPast32Bits) {
    constexpr std::int64_t start = (std::int64_t(1) << 31) - 2;
    const std::string bytes = "x,y\n1,2\r\n\"3\n\",4\rn/a,6\n7,\n";
    for (size_t block : {size_t(0), size_t(1), size_t(5)}) {
        EXPECT_EQ(describe(parseDataFile(bytes, block, start)), "line 2147483651: empty Y value");
        const auto read = parseDataFile(bytes.substr(0, bytes.size() - 4), block, start);
        ASSERT_TRUE(read) << read.reason();
        EXPECT_EQ(read->firstFieldWithoutNumberLine, start + 4);
    }
    const auto measured = parseMeasurementFile(bytes, start);
    EXPECT_EQ(describe(measured),
              "x|y 2147483647:1,2 2147483648:3,4 2147483650:0,6 2147483651:7,-");
    EXPECT_EQ(fieldsWithoutNumberWarning("m.csv", measured->fieldsWithoutNumber,
                                         measured->firstFieldWithoutNumberLine),
              "m.csv: 1 field without a number was read as 0 (first on line 2147483650)");
}
