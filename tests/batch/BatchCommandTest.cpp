#include "batch/BatchCommand.h"
#include "base/Version.h"
#include "data/DataFileReader.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationUse.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace quendrix;

const std::string Calibration = QUENDRIX_EXAMPLES "/calibration.csv";
const std::string Error = QUENDRIX_EXAMPLES "/error.csv";

class BatchCommandTest : public testing::Test {
  protected:
    test::TempDir dir{"quendrix_batch_"};
    std::string output = (dir.path / "out.csv").string();
    std::string out, err;

    int batch(const std::vector<std::string>& args) {
        std::vector<const char*> argv{"quendrix-batch"};
        for (const auto& a : args) {
            argv.push_back(a.c_str());
        }
        std::ostringstream o, e;
        const int status = runBatch(int(argv.size()), argv.data(), o, e);
        out = o.str();
        err = e.str();
        return status;
    }
};

TEST_F(BatchCommandTest, WritesWhatTheSessionSavesAndPrintsTheReadout) {
    // A typed coefficient and range with file 2, and the generated model with the defaults.
    const std::vector<std::string> cases[] = {
        {"--file2", Error, "--c1", "50", "--range", "-5", "60"}, {"--model-sd", "7"}};
    for (auto args : cases) {
        // The same calibration in the session, as the desktop program would save it.
        CalibrationSession s;
        ASSERT_TRUE(s.importFile(0, Calibration, Calibration));
        if (args[0] == "--file2") {
            ASSERT_TRUE(s.importFile(1, Error, Error));
            s.setCoefficientText(0, "50");
            s.setRangeTexts("-5", "60");
            ASSERT_TRUE(s.validateRange());
        } else {
            ASSERT_TRUE(s.setGeneratedModel(true) && s.setModelPercent(7));
        }
        ASSERT_TRUE(s.runAll() && s.buildDetail());
        const std::string saved = (dir.path / "session.csv").string();
        ASSERT_TRUE(s.saveCommonOutput(saved));

        args.insert(args.end(), {"--file1", Calibration, "--section", "50", "-o", output});
        ASSERT_EQ(batch(args), 0) << err;
        EXPECT_EQ(test::slurp(output), test::slurp(saved)) << args[1];
        // A one-line summary, then the interval panel of section 50.
        const auto readout = s.readout(50);
        ASSERT_TRUE(readout);
        std::string panel;
        for (const std::string& line : readout->panelLines()) {
            panel += line + "\n";
        }
        EXPECT_EQ(out.substr(out.find('\n') + 1), panel);
    }
    // A whole number is read in decimal, whatever its leading zeros.
    ASSERT_EQ(
        batch({"--file1", Calibration, "--model-sd", "07", "--smoothing", "010", "-o", output}), 0)
        << err;
    const std::string leadingZeros = test::slurp(output);
    ASSERT_EQ(batch({"--file1", Calibration, "--model-sd", "7", "--smoothing", "10", "-o", output}),
              0)
        << err;
    EXPECT_EQ(test::slurp(output), leadingZeros);
}

// Line number (from 1) of the first line where the texts differ, for a readable failure.
static size_t firstDifferentLine(const std::string& a, const std::string& b) {
    const size_t at =
        size_t(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
    return size_t(std::count(a.begin(), a.begin() + std::ptrdiff_t(at), '\n')) + 1;
}

TEST_F(BatchCommandTest, ExampleDataGiveTheGoldenOutputs) {
    // Each folder's README gives the command that wrote its files.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"examples_file2", {"--file2", Error, "--section", "50"}},
        {"examples_model",
         {"--model-sd", "7", "--smoothing", "3", "--vthreshold", "0", "--hthreshold", "1", "--c1",
          "50", "--c2", "99", "--section", "30"}}};
    for (auto [name, args] : cases) {
        args.insert(args.end(), {"--file1", Calibration, "-o", output});
        ASSERT_EQ(batch(args), 0) << err;
        std::string text = test::slurp(output);
        // The head note names the input files as given; the goldens name them from the project.
        const std::string examples = QUENDRIX_EXAMPLES "/";
        for (size_t at; (at = text.find(examples)) != std::string::npos;) {
            text.replace(at, examples.size(), "examples/");
        }
        const std::string folder = QUENDRIX_TEST_DATA "/output/" + name;
        const std::string expected = test::slurp(folder + "/expected.csv");
        ASSERT_FALSE(expected.empty()) << folder;
        EXPECT_TRUE(text == expected)
            << name << ": first difference in line " << firstDifferentLine(text, expected);
        EXPECT_EQ(out.substr(out.find('\n') + 1), test::slurp(folder + "/expected-readout.txt"))
            << name;
    }
}

TEST_F(BatchCommandTest, HelpVersionAndBadInput) {
    // The version alone, whatever else is missing; the build gives the number.
    EXPECT_EQ(batch({"--version"}), 0) << err;
    EXPECT_EQ(out, std::string("quendrix-batch ") + ProgramVersion + "\n");
    EXPECT_TRUE(std::string(ProgramVersion).find('.') != std::string::npos) << ProgramVersion;
    EXPECT_EQ(batch({"--help"}), 0);
    for (const char* option :
         {"--file1", "--file2", "--model-sd", "--range", "--smoothing", "--vthreshold",
          "--hthreshold", "--skip", "--c1", "--c2", "--section", "--output", "--version"}) {
        EXPECT_NE(out.find(option), std::string::npos) << option;
    }
    // Every bad input: a non-zero status, a message naming the problem and no output file.
    const std::string emptyY = dir.file("emptyY.csv", "A,B\n1,2\n3,\n");
    const std::string absent = (dir.path / "absent.csv").string();
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
        EXPECT_FALSE(std::filesystem::exists(output)) << mentions;
    }
}

TEST_F(BatchCommandTest, RefusesWhatIsNoCalibrationAndKeepsTheOldOutput) {
    const std::string cases[][3] = {
        // File 1 without a complete record, in each form.
        {"--file1", dir.file("empty.csv", ""), "no complete record"},
        {"--file1", dir.file("header.csv", "X,Y\r\n"), "no complete record"},
        {"--file1", dir.file("markers.csv", "X,Y\n-9999,1\n2,-9999\n"), "no complete record"},
        {"--file1", dir.file("utf16.csv", std::string("\xFF\xFEX\0,\0Y\0", 8)),
         "not a text file in UTF-8 or ASCII"},
        // Numbers on the command line are numbers, whole, or refused naming the option.
        {"--c1", "abc", "--c1"},
        {"--c1", "nan", "--c1"},
        {"--c1", "", "--c1"},
        {"--c2", "150", "--c2"},
        {"--smoothing", "0x5", "--smoothing"},
        {"--smoothing", "5.5", "--smoothing"},
        {"--section", "1e400", "--section"},
        {"--range", "0,5", "--range"},
        // A range around none of the samples leaves nothing to calibrate.
        {"--range", "100", "no sample of file 1 lies within the axis range"}};
    for (const auto& [option, value, mentions] : cases) {
        dir.file("out.csv", "old");
        std::vector<std::string> args{"--file1", Calibration, "--file2", Error, "-o", output};
        if (option == "--range") {
            args.insert(args.end(), {"--range", value, "200"});
        } else if (option == "--file1") {
            args[1] = value;
        } else {
            args.insert(args.end(), {option, value});
        }
        EXPECT_NE(batch(args), 0) << value;
        EXPECT_NE(err.find(mentions), std::string::npos) << value << ": " << err;
        EXPECT_EQ(test::slurp(output), "old") << value;
    }
    // Without a complete record to begin with, it is the file that is named, not --holdout.
    EXPECT_NE(batch({"--file1", dir.file("markers.csv", "X,Y\n-9999,1\n"), "--file2", Error,
                     "--holdout", "0.5"}),
              0);
    EXPECT_NE(err.find("markers.csv): no complete record"), std::string::npos) << err;
}

TEST_F(BatchCommandTest, NeverWritesOverAnInputAndWarnsAboutFieldsReadAsZero) {
    const std::string file1 = dir.file("cal.csv", test::slurp(Calibration));
    const std::string file2 = dir.file("err.csv", test::slurp(Error));
    std::filesystem::create_hard_link(file1, dir.path / "hard.csv");
    std::filesystem::create_symlink(file2, dir.path / "soft.csv");
    const std::pair<std::string, std::string> same[] = {
        {(dir.path / "hard.csv").string(), "the output would replace file 1"},
        {(dir.path / "soft.csv").string(), "the output would replace file 2"}};
    for (const auto& [target, message] : same) {
        EXPECT_NE(batch({"--file1", file1, "--file2", file2, "-o", target}), 0);
        EXPECT_NE(err.find(message), std::string::npos) << err;
    }
    EXPECT_EQ(test::slurp(file1), test::slurp(Calibration));
    EXPECT_EQ(test::slurp(file2), test::slurp(Error));

    // Letters where numbers belong, after the 150 records of the example: the calibration runs,
    // and stderr says so.
    const std::string letters = dir.file("letters.csv", test::slurp(Error) + "n/a,1\n2,n/a\n");
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", letters, "-o", output}), 0) << err;
    EXPECT_EQ(err, "quendrix-batch: File 2: 2 fields without a number were read as 0 (first on "
                   "line 152)\n");
}

TEST_F(BatchCommandTest, ApplyAndCheckRefuseWhatTheyCannotUseAndWriteNothing) {
    const std::string readings = QUENDRIX_EXAMPLES "/readings.csv";
    const std::string predictions = (dir.path / "p.csv").string();
    const std::string bad = dir.file("bad.csv", "X,Y\n1,2\n3,1E39\n");
    const std::vector<std::string> base{"--file1", Calibration, "--file2", Error};
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--apply", readings}, "--predictions"},
        {{"--predictions", predictions}, "--apply"},
        {{"--apply", bad, "--predictions", predictions}, "--apply " + bad + ": line 3"},
        {{"--check", bad}, "--check " + bad + ": line 3"},
        {{"--holdout", "0"}, "--holdout"},
        {{"--holdout", "1"}, "--holdout"},
        {{"--holdout", "abc"}, "--holdout"},
        {{"--holdout", "0.2", "--check", readings}, "--holdout"},
        {{"--holdout", "0.9999"}, "--holdout 0.9999 holds out every complete record of file 1"},
        {{"--seed", "3"}, "--seed"},
        {{"--holdout", "1e-300"}, "--holdout 1e-300 holds out no complete record of file 1"},
        {{"--holdout", "0.5", "--seed", ""}, "--seed"},
        {{"--holdout", "0.5", "--seed", "-1"}, "--seed"},
        {{"--holdout", "0.5", "--seed", "0x10"}, "--seed"},
        {{"--holdout", "0.5", "--seed", "18446744073709551616"}, "--seed"},
        {{"--holdout", "0.5", "--seed", "1e3"}, "--seed"},
        {{"--full-precision"}, "--full-precision"},
        {{"--apply", readings, "--predictions", Calibration}, "would replace file 1"},
        {{"--apply", readings, "--predictions", output, "-o", output}, "would replace the -o"},
        {{}, "-o"}};
    for (auto [args, mentions] : cases) {
        args.insert(args.begin(), base.begin(), base.end());
        EXPECT_NE(batch(args), 0) << mentions;
        EXPECT_NE(err.find(mentions), std::string::npos) << mentions << ": " << err;
        EXPECT_FALSE(std::filesystem::exists(predictions)) << mentions;
        EXPECT_FALSE(std::filesystem::exists(output)) << mentions;
    }
    EXPECT_EQ(test::slurp(Calibration).substr(0, 20), "Field reading (mg/L)");
}

TEST_F(BatchCommandTest, HoldoutCalibratesWithTheRestAndChecksWithTheHeldOut) {
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--holdout", "0.25", "--seed", "9",
                     "--json", "-o", output}),
              0)
        << err;
    const std::string first = out;
    // The report is JSON alone on stdout; the summary went to stderr with the kept count.
    EXPECT_TRUE(first.starts_with("{\"nominal1\":68.2,")) << first;
    const int kept = std::stoi(err.substr(err.find("N1 = ") + 5));
    const int held = std::stoi(first.substr(first.find("\"pairs\":") + 8));
    const int noRegion = std::stoi(first.substr(first.find("\"no_region\":") + 12));
    EXPECT_EQ(kept + held + noRegion, 300);
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--holdout", "0.25", "--seed", "9",
                     "--json", "-o", output}),
              0);
    EXPECT_EQ(out, first);
    // The seed is any 64-bit number, and leading zeros change nothing.
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--holdout", "0.25", "--seed", "009",
                     "--json"}),
              0)
        << err;
    EXPECT_EQ(out, first);
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--holdout", "0.25", "--seed",
                     "18446744073709551615", "--json"}),
              0)
        << err;
    EXPECT_NE(out, first);
}

TEST_F(BatchCommandTest, ApplyStreamsWhatTheCalibrationReadsOffAndWarnsWhenThereIsNothing) {
    const std::string readings = QUENDRIX_EXAMPLES "/readings.csv";
    const std::string predictions = (dir.path / "p.csv").string();
    CalibrationSession s;
    ASSERT_TRUE(s.importFile(0, Calibration, Calibration) && s.importFile(1, Error, Error));
    ASSERT_TRUE(s.runAll() && s.buildDetail());
    const auto records = readMeasurementFile(readings);
    ASSERT_TRUE(records);
    const auto expected = predictWith(s, records->records, false);
    for (const bool json : {false, true}) {
        std::vector<std::string> args{"--file1", Calibration, "--file2",       Error,
                                      "--apply", readings,    "--predictions", predictions};
        if (json) {
            args.push_back("--json");
        }
        ASSERT_EQ(batch(args), 0) << err;
        EXPECT_EQ(test::slurp(predictions),
                  json ? predictionsJsonLines(expected) : predictionsCsv(expected));
        EXPECT_EQ(err, "");
    }
    // A file without measurements gives the header alone, and says so.
    for (const char* empty : {"", "X\n", "X,Y\r\n\r\n"}) {
        const std::string file = dir.file("empty.csv", empty);
        ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--apply", file, "--predictions",
                         predictions}),
                  0)
            << err;
        EXPECT_EQ(test::slurp(predictions),
                  "line,x,status,average,mode,c1_intervals,c2_intervals\n");
        EXPECT_EQ(err, "quendrix-batch: --apply " + file + ": no measurement read\n");
    }
}

TEST_F(BatchCommandTest, AnEmptyResultIsWrittenWithAWarningThatNamesTheThresholdToLower) {
    const auto warning = [](const std::string& line, const std::string& threshold,
                            const std::string& samples, const std::string& keeps) {
        return "quendrix-batch: warning: the result is empty: no " + line +
               " in the range holds the " + samples + " sample(s) the " + threshold +
               " threshold asks for; at " + keeps + " some do\n";
    };
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--hthreshold", "8", "-o", output}),
              0);
    EXPECT_EQ(err, warning("X column", "horizontal", "8", "7 or less"));
    EXPECT_TRUE(std::filesystem::exists(output));
    // The threshold the warning proposes does give a result.
    ASSERT_EQ(batch({"--file1", Calibration, "--file2", Error, "--hthreshold", "7", "-o", output}),
              0);
    EXPECT_EQ(err, "");

    // Three samples far apart: no row holds two of them, nor, once rows are let through, any
    // column.
    const std::string three = dir.file("three.csv", "X,Y\n5,5\n20,20\n35,35\n");
    const std::vector<std::string> run{"--file1", three, "--model-sd", "2",   "--range",
                                       "0",       "40",  "-o",         output};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), run.begin(), run.end());
        EXPECT_EQ(batch(extra), 0) << err;
        return err;
    };
    EXPECT_EQ(with({}), warning("Y row", "vertical", "2", "0"));
    EXPECT_EQ(with({"--skip"}), warning("X column", "horizontal", "2", "0"));
    EXPECT_EQ(with({"--vthreshold", "0"}), warning("X column", "horizontal", "2", "0"));
    EXPECT_EQ(with({"--vthreshold", "0", "--hthreshold", "0"}), "");
}
