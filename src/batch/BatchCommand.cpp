#include "batch/BatchCommand.h"

#include "base/NumberText.h"
#include "base/Version.h"
#include "batch/FigureHandOff.h"
#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"
#include "export/OutputFile.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationUse.h"

#include <CLI/CLI.hpp>

#include <filesystem>
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
    std::string apply;
    std::string predictions;
    bool fullPrecision = false;
    std::string check;
    std::optional<std::string> holdout;
    std::uint64_t seed = 1;
    bool json = false;
    std::string figures;
    std::string format = "png";
};

// A command line has no reason to guess: a number is the whole text, never its leading part.
// (CLI11's own number conversion follows the C locale; this one never does.) Empty where the
// text is such a number and `within` its bounds, else why not.
std::string numberProblem(const std::string& text, bool (*within)(double), const char* bounds) {
    const std::optional<double> value = plainNumber(text);
    if (!value) {
        return "'" + text + "' is not a number";
    }
    return within(*value) ? std::string{} : "'" + text + "' is not between " + bounds;
}

const CLI::Validator PlainNumber(
    [](std::string& text) {
        return numberProblem(
            text, [](double) { return true; }, "");
    },
    "NUMBER");

const CLI::Validator Percentage(
    [](std::string& text) {
        return numberProblem(
            text, [](double v) { return v >= 0 && v <= 100; }, "0 and 100");
    },
    "PERCENT");

const CLI::Validator
    FigureFolder([](std::string& folder) -> std::string { return figureFolderProblem(folder); },
                 "DIR");

const CLI::Validator FormatName(
    [](std::string& name) -> std::string {
        return figureFormat(name) ? std::string{} : "'" + name + "' is not png, svg or pdf";
    },
    "png|svg|pdf");

const CLI::Validator Share(
    [](std::string& text) {
        return numberProblem(
            text, [](double v) { return v > 0 && v < 1; }, "0 and 1 (both excluded)");
    },
    "SHARE");

void describe(CLI::App& app, Options& o) {
    app.description("Runs one Quendrix calibration and writes the result in the common output "
                    "format, exactly as the desktop program saves it.");
    app.set_version_flag("--version", std::string("quendrix-batch ") + ProgramVersion,
                         "Print the program's version and exit");
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
    app.add_option("-o,--output", o.output,
                   "Output file (common output format); required unless the calibration is "
                   "applied or checked");

    auto* apply = app.add_option("--apply", o.apply,
                                 "Read the calibration off at the X of each record of this file "
                                 "(X,Y pairs or one column of X; Y is not used)");
    auto* predictions =
        app.add_option("--predictions", o.predictions, "Where --apply writes its predictions");
    apply->needs(predictions);
    predictions->needs(apply);
    app.add_flag("--full-precision", o.fullPrecision,
                 "Predictions as the exact grid values instead of the read-out's rounded numbers")
        ->needs(apply);
    auto* check = app.add_option("--check", o.check,
                                 "Check the coverage of the confidence regions with the X,Y "
                                 "pairs of this file");
    auto* holdout =
        app.add_option("--holdout", o.holdout,
                       "Instead of --check: hold out this share (between 0 and 1) of file 1's "
                       "complete records, calibrate with the rest and check with them")
            ->check(Share);
    holdout->excludes(check);
    app.add_option("--seed", o.seed, "Seed of the --holdout split (the same seed, the same split)")
        ->needs(holdout)
        ->capture_default_str();
    app.add_flag("--json", o.json,
                 "Predictions as JSON Lines and the coverage check as one JSON object");
    auto* figures = app.add_option("--figures", o.figures,
                                   "Write the figures of both windows into this folder (made "
                                   "when missing): fig1 .. fig8 and chart, the chart at the "
                                   "--section position or in the middle")
                        ->check(FigureFolder);
    app.add_option("--format", o.format, "Picture format of --figures")
        ->check(FormatName)
        ->needs(figures)
        ->capture_default_str();
}

int fail(std::ostream& err, const std::string& message) {
    err << "quendrix-batch: " << message << '\n';
    return 1;
}

/// The files --figures writes, none without it.
std::vector<std::string> figurePaths(const Options& o) {
    std::vector<std::string> paths;
    if (!o.figures.empty()) {
        for (const std::string& name : figureFileNames(*figureFormat(o.format))) {
            paths.push_back((std::filesystem::path(o.figures) / name).string());
        }
    }
    return paths;
}

/// No output may be one of the inputs, nor two outputs one file, under whatever name or link
/// they are given.
std::string replacedInput(const Options& o) {
    const std::pair<const std::string*, const char*> inputs[] = {{&o.file1, "file 1"},
                                                                 {&o.file2, "file 2"},
                                                                 {&o.apply, "the --apply file"},
                                                                 {&o.check, "the --check file"},
                                                                 {&o.output, "the -o output"}};
    const std::vector<std::string> figures = figurePaths(o);
    std::vector<std::pair<const std::string*, const char*>> outputs = {
        {&o.output, "the output"}, {&o.predictions, "the --predictions output"}};
    for (const std::string& path : figures) {
        outputs.emplace_back(&path, "the --figures file");
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    for (std::size_t a = 0; a < outputs.size(); ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            const std::string& later = *outputs[a].first;
            const std::string& earlier = *outputs[b].first;
            if (!later.empty() && !earlier.empty() &&
                fs::weakly_canonical(later, ec) == fs::weakly_canonical(earlier, ec)) {
                return std::string(outputs[a].second) + " would replace " +
                       (b == 0 ? "the -o output" : outputs[b].second) + " (" + later + ")";
            }
        }
    }
    for (const auto& [output, outputName] : outputs) {
        const std::optional<FileIdentity> identity =
            output->empty() ? std::nullopt : fileIdentity(*output);
        if (!identity) {
            continue;
        }
        for (const auto& [input, inputName] : inputs) {
            if (input != output && !input->empty() && identity == fileIdentity(*input)) {
                return std::string(outputName) + " would replace " + inputName + " (" + *output +
                       ")";
            }
        }
    }
    for (const std::string& path : figures) {
        if (fs::is_directory(path, ec)) {
            return "--figures: " + path + " is a folder";
        }
    }
    return {};
}

/// A file of measurements named by its option, or the reason it cannot be used.
Result<MeasurementFile> readMeasurements(const std::string& option, const std::string& path,
                                         std::ostream& err) {
    auto file = readMeasurementFile(path);
    if (!file) {
        return Failure{option + " " + path + ": " + file.reason()};
    }
    const std::string warning = fieldsWithoutNumberWarning(
        option + " " + path, file->fieldsWithoutNumber, file->firstFieldWithoutNumberLine);
    if (!warning.empty()) {
        err << "quendrix-batch: " << warning << '\n';
    }
    return file;
}

void warnAbout(std::ostream& err, int f, const CalibrationSession& session) {
    if (const std::string warning = importWarning(f, *session.file(f)); !warning.empty()) {
        err << "quendrix-batch: " << warning << '\n';
    }
}

} // namespace

int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const FigureWriter& figures) {
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
    if (o.output.empty() && o.apply.empty() && o.check.empty() && !o.holdout && o.figures.empty()) {
        return fail(err, "give the output file with -o (or apply or check the calibration, or "
                         "export its figures)");
    }
    if (!o.figures.empty() && !figures) {
        return handOffToFigureProgram(argc, argv, err);
    }
    if (const std::string replaced = replacedInput(o); !replaced.empty()) {
        return fail(err, replaced);
    }
    // Every input is read before anything is computed or written.
    std::optional<MeasurementFile> measurements;
    std::optional<MeasurementFile> pairs;
    if (!o.apply.empty()) {
        auto file = readMeasurements("--apply", o.apply, err);
        if (!file) {
            return fail(err, file.reason());
        }
        measurements = std::move(file).value();
    }
    if (!o.check.empty()) {
        auto file = readMeasurements("--check", o.check, err);
        if (!file) {
            return fail(err, file.reason());
        }
        pairs = std::move(file).value();
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
    const bool anyComplete = session.file(0)->completeCount != 0;
    if (o.holdout && anyComplete) {
        HoldoutSplit split = splitHoldout(*session.file(0), *plainNumber(*o.holdout), o.seed);
        if (Status st = session.importData(0, std::move(split.kept), o.file1); !st) {
            return fail(err, "file 1 (" + o.file1 + "): " + st.reason());
        }
        pairs = MeasurementFile{};
        pairs->records = std::move(split.heldOut);
    }
    if (session.file(0)->completeCount == 0) {
        if (anyComplete) {
            return fail(err, "--holdout " + *o.holdout +
                                 " holds out every complete record of file 1, so there is "
                                 "nothing left to calibrate with");
        }
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
    if (o.section || measurements || pairs || !o.figures.empty()) {
        if (Status st = session.buildDetail(); !st) {
            return fail(err, st.reason());
        }
    }
    if (o.section) {
        auto r = session.readout(*o.section);
        if (!r) {
            return fail(err, r.reason());
        }
        readout = r->panelLines();
    }

    const Captions& c = session.captions();
    if (!o.output.empty()) {
        if (Status st = session.saveCommonOutput(o.output); !st) {
            return fail(err, st.reason());
        }
    }
    if (measurements) {
        const auto predicted = predictWith(session, measurements->records, o.fullPrecision);
        const std::string text =
            o.json ? predictionsJsonLines(predicted) : predictionsCsv(predicted);
        if (Status st = writeOutputFile(o.predictions, text); !st) {
            return fail(err, "--predictions: " + st.reason());
        }
    }
    if (!o.figures.empty()) {
        Status st = prepareFigureFolder(o.figures);
        if (st) {
            st = figures(session,
                         FigureRequest{o.figures, *figureFormat(o.format), o.section.value_or(50)});
        }
        if (!st) {
            return fail(err, "--figures: " + st.reason());
        }
    }
    std::string coverage;
    if (pairs) {
        const CoverageReport r = coverageOf(session, pairs->records);
        coverage = o.json ? coverageJson(r) : coverageTable(r);
    }

    std::ostringstream summary;
    summary << "N1 = " << c.count[0];
    if (session.generatedModel()) {
        summary << ", error model y = x, SD = " << c.stdDev;
    } else {
        summary << ", N2 = " << c.count[1] << ", " << c.fittingLine << ", SD = " << c.stdDev;
    }
    summary << ", range " << c.lowerText << " .. " << c.upperText;
    if (!o.output.empty()) {
        summary << ": wrote " << o.output;
    }
    bool wrote = !o.output.empty();
    if (measurements) {
        summary << (wrote ? ", " : ": wrote ") << o.predictions;
        wrote = true;
    }
    if (!o.figures.empty()) {
        summary << (wrote ? ", " : ": wrote ") << "the figures in " << o.figures;
    }
    // A file on standard output (-o /dev/stdout) or a JSON report must not mix with the summary.
    const std::optional<FileIdentity> stdoutFile = fileIdentity("/dev/stdout");
    const bool fileOnStdout =
        stdoutFile && (fileIdentity(o.output) == stdoutFile ||
                       (!o.predictions.empty() && fileIdentity(o.predictions) == stdoutFile));
    std::ostream& report = fileOnStdout || (o.json && pairs) ? err : out;
    report << summary.str() << '\n';
    for (const auto& line : readout) {
        report << line << '\n';
    }
    if (pairs) {
        (fileOnStdout ? err : out) << coverage;
    }
    return 0;
}

} // namespace quendrix
