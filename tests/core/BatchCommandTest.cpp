#include "batch/BatchCommand.h"
#include "session/CalibrationSession.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

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
}

TEST_F(BatchCommandTest, HelpAndBadInput) {
    EXPECT_EQ(batch({"--help"}), 0);
    for (const char* option :
         {"--file1", "--file2", "--model-sd", "--range", "--smoothing", "--vthreshold",
          "--hthreshold", "--skip", "--c1", "--c2", "--section", "--output"}) {
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
