#include "base/NumberText.h"
#include "data/AxisRange.h"
#include "data/DataFileReader.h"
#include "data/Regression.h"

#include "FileDescriptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <functional>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace quendrix;
using test::describe;

// The data file that `write` puts into a pipe from a thread of its own, read as it comes.
static Result<DataFile> readFromPipe(const std::function<void(int)>& write) {
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

// Records are read at once only within a block: wherever a block ends, the result is the same.
TEST(DataFileReaderTest, RecordsAndFailuresWithTheirLineWhereverABlockEnds) {
    // Every line end, no final line end, trailing blanks, surplus fields and a record over lines.
    for (const char* bytes : {"x,y\r\n1,2\r\n3,4\r\n", "x,y\r1,2\r3,4", "x,y\n1,2\n3,4\n \t ",
                              "x,y\n1,2,3\n4\n", "x,y\n1\n2\n3,4"}) {
        EXPECT_EQ(describe(parseDataFile(bytes)), "x|y N=2 1,2 3,4 [1..4]") << bytes;
    }
    const std::string good =
        "x,y\r\n12.5,-3\r\n7,8\n+9.25,1e2\r10,\"11\",.5, 6 \n-0.125,-9999\r\n13\r\n14\n";
    std::string lines;
    for (int r = 2; r <= 300; ++r) {
        lines += std::string(r == 101 ? "\"" : "") + std::to_string(r) + ",1\n";
    }
    const std::pair<std::string, std::string> cases[] = {
        {good, "x|y N=6 12.5,-3 7,8 9.25,100 10,11 0.5,6 -0.125,-9999 13,14 [-3..100]"},
        {good + "15,\n", "line 9: empty Y value"},
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
        // A quote left open would take the rest of the file as one field.
        {"x,y\n" + lines, "line 101: a quoted field is not closed"},
        {"x,y\n1,\"2\r\n3,4\r\n", "line 2: a quoted field is not closed"},
        {"\"x,y\n1,2\n", "line 1: a quoted field is not closed"},
        {"x;y\n1;2\n\"3;4\n", "line 3: a quoted field is not closed"},
        {"x,y\n1,2\n3,\"", "line 3: a quoted field is not closed"}};
    for (const auto& [bytes, expected] : cases) {
        for (size_t block = 0; block <= bytes.size(); ++block) {
            EXPECT_EQ(describe(parseDataFile(bytes, block)), expected) << bytes << block;
        }
        if (expected.ends_with("not closed")) {
            EXPECT_EQ(describe(parseMeasurementFile(bytes)), expected) << bytes;
        }
    }
}

TEST(DataFileReaderTest, EncodingsAndFieldsWithoutANumber) {
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

TEST(DataFileReaderTest, LimitsStreamsFoldersAndLineNumbersPast32Bits) {
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

    // A pipe may bring over 2^31 lines: counted from just below, every line number stays whole.
    constexpr std::int64_t start = (std::int64_t(1) << 31) - 2;
    const std::string bytes = "x,y\n1,2\r\n\"3\n\",4\rn/a,6\n7,\n";
    for (size_t block : {size_t(0), size_t(1), size_t(5)}) {
        EXPECT_EQ(describe(parseDataFile(bytes, block, start)), "line 2147483651: empty Y value");
        const auto part = parseDataFile(bytes.substr(0, bytes.size() - 4), block, start);
        ASSERT_TRUE(part) << part.reason();
        EXPECT_EQ(part->firstFieldWithoutNumberLine, start + 4);
    }
    const auto measured = parseMeasurementFile(bytes, start);
    EXPECT_EQ(describe(measured),
              "x|y 2147483647:1,2 2147483648:3,4 2147483650:0,6 2147483651:7,-");
    EXPECT_EQ(fieldsWithoutNumberWarning("m.csv", measured->fieldsWithoutNumber,
                                         measured->firstFieldWithoutNumberLine),
              "m.csv: 1 field without a number was read as 0 (first on line 2147483650)");
}

// Spreadsheets in decimal-comma locales save semicolon files, some programs tab files.
TEST(DataFileReaderTest, SemicolonAndTabFilesReadLikeTheCommaForm) {
    const char* semicolon = "read as semicolon-separated, decimal comma";
    const char* tab = "read as tab-separated";
    const std::string longName =
        "\"Depth below the floor, in metres, as the label of the core says\"";
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"X;Y\r\n1,5;2,25\r\n\"-3,5\" ; \" 4,75\"\r\n1,5E3;-9999\r\n&H1F;1,5D-1\r\nn/a;, 5\r\n",
         "X,Y\r\n1.5,2.25\r\n\"-3.5\" , \" 4.75\"\r\n1.5E3,-9999\r\n&H1F,1.5D-1\r\nn/a,. 5\r\n",
         semicolon},
        // Points still read as points; records need not follow lines.
        {"X;Y;1.5;2\n3;4", "X,Y,1.5,2\n3,4", semicolon},
        // Quoted separators do not count, however long the name; a tab beside a ';' is a blank.
        {longName + ";\t\"Age; ka\"\n1,5;2", longName + ",\"Age; ka\"\n1.5,2", semicolon},
        {"Size 5\";Count\n1,5;2\n", "Size 5\",Count\n1.5,2\n", semicolon},
        // In a tab file a comma is no decimal point; blanks are still dropped.
        {"X\tY\n1.5\t 2 \n\"3\t\"\t4,5\n", "X,Y\n1.5, 2 \n\"3\t\",\"4,5\"\n", tab},
        {"X\tY\n1\t\t2\n", "X,Y\n1,,2\n", tab},
        {"X;Y\n1;2\n\n", "X,Y\n1,2\n\n", semicolon},
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

TEST(AxisRangeTest, GridRoundedBoundsAndLabelsOfTheNumberTheGridIsBuiltFrom) {
    // Indices 25 and 225 are the bounds, so a margin of an eighth of the width lies outside.
    auto up = gridFromRange(0, 200), down = gridFromRange(50, 10);
    EXPECT_EQ(std::tuple(up->gridStep, up->gridMin, up->gridMax), std::tuple(1.0, -25.f, 225.f));
    EXPECT_EQ(std::tuple(down->gridStep, down->gridMin, down->gridMax),
              std::tuple(-0.2, 55.f, 5.f));
    EXPECT_EQ(rangeWidth(50, 10), 40);
    EXPECT_FALSE(gridFromRange(10, 10));
    EXPECT_FALSE(gridFromRange(0, 3.1e38)); // fits a single, but the margin above it does not

    // Steps 5, 50, 500 below 100, 1000, 10000; beyond, 1000 (positive) or 5000 (negative). Whole
    // steps count toward zero, then a positive upper or a negative lower bound gets one more.
    // clang-format off
    const std::tuple<float, float, float> cases[] = { // value, lower, upper
        {0, 0, 0}, {10, 10, 15}, {12, 10, 15}, {-10, -15, -10}, {-12, -15, -10}, {37.2f, 35, 40},
        {99.9f, 95, 100}, {100, 100, 150}, {-100, -150, -100}, {612, 600, 650},
        {-5000, -5500, -5000}, {9999, 9500, 10000}, {10000, 10000, 11000}, {12345, 12000, 13000},
        {-10000, -15000, -10000}, {-12345, -15000, -10000}};
    // clang-format on
    for (const auto& [v, lower, upper] : cases) {
        EXPECT_EQ(roundDownBound(v), lower) << v;
        EXPECT_EQ(roundUpBound(v), upper) << v;
    }

    EXPECT_EQ(rangeLabel(""), "");
    EXPECT_EQ(rangeLabel("0,5"), "0");
    EXPECT_EQ(rangeLabel(" 12.50 mm"), "12.5");
    EXPECT_EQ(rangeLabel("&H10"), "16");
    // Every digit it takes to read back the very number, and no more.
    for (const char* typed : {"0.1", "0.12345678901234567", "-1e-7", "123456789012345678"}) {
        EXPECT_EQ(leadingNumber(rangeLabel(typed)), leadingNumber(typed)) << typed;
    }
    EXPECT_EQ(rangeLabel("0.12345678901234567"), "0.12345678901234566");
}

static DataFile fileOf(const std::vector<Sample>& samples) {
    DataFile file;
    file.records = samples;
    file.completeCount = int(std::ranges::count_if(samples, &Sample::complete));
    return file;
}

TEST(RegressionTest, LineOfTheCompleteRecordsAndDeviationDividedByNMinusOne) {
    auto fit = [](const std::vector<Sample>& samples) {
        const FileStatistics st = computeRegression(fileOf(samples), {7, 8, 0.5f, 3, true, true});
        return std::tuple(st.slope, st.intercept, st.correlation, st.lineDefined,
                          st.correlationDefined);
    };
    // Either marker in a record would pull the line off y = x + 1.
    EXPECT_EQ(fit({{1, 2}, {-9999, 5}, {3, 4}, {7, -9999}}), std::tuple(1.f, 1.f, 1.f, true, true));
    // No spread of Y: a flat line, the correlation stays; no spread of X: nothing is defined.
    EXPECT_EQ(fit({{1, 5}, {2, 5}, {6, 5}}), std::tuple(0.f, 5.f, 0.5f, true, false));
    EXPECT_EQ(fit({{2, 1}, {2, 3}, {2, 8}}), std::tuple(7.f, 8.f, 0.5f, false, false));
    EXPECT_EQ(fit({{-9999, 1}}), std::tuple(7.f, 8.f, 0.5f, false, false));

    // Residuals of +1 and -1 around y = 2x + 1 on 6000 complete records, markers in between.
    std::vector<Sample> samples;
    for (int r = 1; r <= 7000; ++r) {
        const float y = float(2 * r + 1 + (r % 2 ? 1 : -1));
        samples.push_back(r % 7 == 0 ? Sample{float(r), -9999} : Sample{float(r), y});
    }
    EXPECT_EQ(residualStdDev(fileOf(samples), 2, 1), float(std::sqrt(6000.0 / 5999.0)));
}

TEST(RegressionTest, CaptionsRoundHalvesToEven) {
    // The intercept gets 3 decimals below 100 (negative ones included), 2 from 100 on.
    EXPECT_EQ(fittingLineCaption(2, -1.5f), "y = 2 x + -1.5");
    EXPECT_EQ(fittingLineCaption(0.0625f, 99.0625f), "y = 0.062 x + 99.062");
    EXPECT_EQ(fittingLineCaption(0.1875f, 100.125f), "y = 0.188 x + 100.12");
    EXPECT_EQ(fittingLineCaption(-1, -250.0625f), "y = -1 x + -250.062");

    // Odd multiples of 2^-(d+1) are exact halves at d decimals.
    // clang-format off
    const std::pair<float, const char*> stdDevs[] = {
        {0, "0"}, {0.015625f, "0.01562"}, {0.046875f, "0.04688"}, {10.09375f, "10.0938"},
        {100.0625f, "100.062"}, {1000.375f, "1000.38"}, {10000.25f, "10000.2"},
        {123456.25f, "123456.2"}};
    // clang-format on
    for (const auto& [value, text] : stdDevs) {
        EXPECT_EQ(stdDevCaption(value), text) << text;
    }
}
