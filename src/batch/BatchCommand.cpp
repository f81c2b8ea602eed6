#include "batch/BatchCommand.h"

#include "base/NumberText.h"
#include "data/DataFileReader.h"
#include "export/OutputFile.h"
#include "session/CalibrationSession.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quendrix {
namespace {

struct Options {
    std::string file1;
    std::string file2;
    std::optional<int> modelPercent;
    std::vector<std::string> range;
    int smoothing = 5;
    int verticalThreshold = 2;
    int horizontalThreshold = 2;
    bool skip = false;
    std::optional<std::string> coefficient1;
    std::optional<std::string> coefficient2;
    std::optional<int> section;
    std::string output;
};

// A command line has no reason to guess: a number is the whole text, never its leading part.
const CLI::Validator PlainNumber(
    [](std::string& text) -> std::string {
        return plainNumber(text) ? std::string{} : "'" + text + "' is not a number";
    },
    "NUMBER");

const CLI::Validator Percentage(
    [](std::string& text) -> std::string {
        const std::optional<double> value = plainNumber(text);
        if (!value) {
            return "'" + text + "' is not a number";
        }
        return *value >= 0 && *value <= 100 ? std::string{}
                                            : "'" + text + "' is not between 0 and 100";
    },
    "PERCENT");

void describe(CLI::App& app, Options& o) {
    app.description("Runs one Quendrix calibration and writes the result in the common output "
                    "format, exactly as the desktop program saves it.");
    app.add_option("--file1", o.file1, "Data file of the calibration samples (X,Y pairs)")
        ->required();
    auto* file2 = app.add_option("--file2", o.file2, "Data file of the error data (X,Y pairs)");
    auto* model =
        app.add_option("--model-sd", o.modelPercent,
                       "Generate the error model instead of file 2: y = x with this standard "
                       "deviation in whole % of the range")
            ->check(CLI::Range(1, 20));
    file2->excludes(model);
    app.add_option("--range", o.range,
                   "Lower and upper bound of the axis range, as if typed after the imports "
                   "(default: proposed from file 1)")
        ->expected(2)
        ->allow_extra_args(false)
        ->check(PlainNumber);
    app.add_option("--smoothing", o.smoothing, "Smoothing level in % of the range")
        ->check(CLI::Range(1, 25))
        ->capture_default_str();
    app.add_option("--vthreshold", o.verticalThreshold,
                   "Vertical threshold in samples (horizontal normalisation)")
        ->check(CLI::Range(0, 10))
        ->capture_default_str();
    app.add_option("--hthreshold", o.horizontalThreshold,
                   "Horizontal threshold in samples (vertical normalisation)")
        ->check(CLI::Range(0, 10))
        ->capture_default_str();
    app.add_flag("--skip", o.skip, "Skip the horizontal normalisation");
    app.add_option("--c1", o.coefficient1, "Confidence coefficient 1 in %, 0..100 (default 68.2)")
        ->check(Percentage);
    app.add_option("--c2", o.coefficient2, "Confidence coefficient 2 in %, 0..100 (default 95.4)")
        ->check(Percentage);
    app.add_option("--section", o.section,
                   "Also print the calibration chart's interval read-out for this section "
                   "position, in % of the X axis")
        ->check(CLI::Range(0, 100));
    app.add_option("-o,--output", o.output, "Output file (common output format)")->required();
}

int fail(std::ostream& err, const std::string& message) {
    err << "quendrix-batch: " << message << '\n';
    return 1;
}

/// The output must not be one of the inputs, under whatever name or link it is given.
std::string replacedInput(const Options& o) {
    const std::optional<FileIdentity> output = fileIdentity(o.output);
    if (!output) {
        return {};
    }
    if (output == fileIdentity(o.file1)) {
        return "the output would replace file 1";
    }
    if (!o.file2.empty() && output == fileIdentity(o.file2)) {
        return "the output would replace file 2";
    }
    return {};
}

void warnAbout(std::ostream& err, int f, const CalibrationSession& session) {
    if (const std::string warning = importWarning(f, *session.file(f)); !warning.empty()) {
        err << "quendrix-batch: " << warning << '\n';
    }
}

} // namespace

int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"", "quendrix-batch"};
    Options o;
    describe(app, o);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err);
    }
    if (o.file2.empty() && !o.modelPercent) {
        return fail(err, "give the error data with --file2 or generate the model with --model-sd");
    }
    if (const std::string replaced = replacedInput(o); !replaced.empty()) {
        return fail(err, replaced + " (" + o.output + ")");
    }

    CalibrationSession session;
    session.setSmoothing(o.smoothing);
    session.setVerticalThreshold(o.verticalThreshold);
    session.setHorizontalThreshold(o.horizontalThreshold);
    session.setSkip(o.skip);
    if (o.coefficient1) {
        session.setCoefficientText(0, *o.coefficient1);
    }
    if (o.coefficient2) {
        session.setCoefficientText(1, *o.coefficient2);
    }

    if (Status st = session.importFile(0, o.file1, o.file1); !st) {
        return fail(err, "file 1 (" + o.file1 + "): " + st.reason());
    }
    warnAbout(err, 0, session);
    if (session.file(0)->completeCount == 0) {
        return fail(err, "file 1 (" + o.file1 +
                             "): no complete record (an X and a Y, neither of them -9999), so "
                             "there is nothing to calibrate");
    }
    if (!o.file2.empty()) {
        if (Status st = session.importFile(1, o.file2, o.file2); !st) {
            return fail(err, "file 2 (" + o.file2 + "): " + st.reason());
        }
        warnAbout(err, 1, session);
    }
    if (!o.range.empty()) {
        session.setRangeTexts(o.range[0], o.range[1]);
        if (Status st = session.validateRange(); !st) {
            return fail(err,
                        "invalid range " + o.range[0] + " .. " + o.range[1] + ": " + st.reason());
        }
    }
    if (!session.grid() || session.captions().lowerText.empty() ||
        session.captions().upperText.empty()) {
        return fail(err, "no axis range: file 1 proposes none; give one with --range LO HI");
    }
    if (o.modelPercent) {
        Status st = session.setModelPercent(*o.modelPercent);
        if (st) {
            st = session.setGeneratedModel(true);
        }
        if (!st) {
            return fail(err, "error model: " + st.reason());
        }
    }
    if (Status st = session.runAll(); !st) {
        return fail(err, st.reason());
    }

    std::vector<std::string> readout;
    if (o.section) {
        if (Status st = session.buildDetail(); !st) {
            return fail(err, st.reason());
        }
        auto r = session.readout(*o.section);
        if (!r) {
            return fail(err, r.reason());
        }
        readout = r->panelLines();
    }

    if (Status st = session.saveCommonOutput(o.output); !st) {
        return fail(err, st.reason());
    }

    const Captions& c = session.captions();
    std::ostringstream summary;
    summary << "N1 = " << c.count[0];
    if (session.generatedModel()) {
        summary << ", error model y = x, SD = " << c.stdDev;
    } else {
        summary << ", N2 = " << c.count[1] << ", " << c.fittingLine << ", SD = " << c.stdDev;
    }
    summary << ", range " << c.lowerText << " .. " << c.upperText << ": wrote " << o.output;
    // With the output file on standard output (-o /dev/stdout) the report must not mix into it.
    std::ostream& report = fileIdentity(o.output) == fileIdentity("/dev/stdout") ? err : out;
    report << summary.str() << '\n';
    for (const auto& line : readout) {
        report << line << '\n';
    }
    return 0;
}

} // namespace quendrix
