#include "batch/BatchOptions.h"

#include "base/NumberText.h"
#include "base/Version.h"
#include "batch/TuneReport.h"
#include "export/FigureFiles.h"

#include <CLI/CLI.hpp>

#include <cmath>

namespace quendrix {
namespace {

// A command line has no reason to guess: a number is the whole text, never its leading part.
// (CLI11's own number conversion follows the C locale and takes "0x5"; this one never does.)
Status checkNumber(const std::string& text, bool (*within)(double), const char* bounds) {
    const std::optional<double> value = plainNumber(text);
    if (!value) {
        return Failure{"'" + text + "' is not a number"};
    }
    if (!within(*value)) {
        return Failure{"'" + text + "' is not between " + bounds};
    }
    return {};
}

/// A check in the form CLI11 takes: empty when it passes, else why not.
std::string validatorText(const Status& st) {
    return st ? std::string{} : st.reason();
}

/// A whole number lo..hi, written as a plain decimal.
CLI::Validator wholeNumber(int lo, int hi) {
    const std::string bounds = std::to_string(lo) + " and " + std::to_string(hi);
    return CLI::Validator(
        [lo, hi, bounds](std::string& text) -> std::string {
            const std::optional<double> value = plainNumber(text);
            if (!value || *value != std::floor(*value)) {
                return "'" + text + "' is not a whole number";
            }
            return *value >= lo && *value <= hi ? std::string{}
                                                : "'" + text + "' is not between " + bounds;
        },
        "INT in [" + std::to_string(lo) + " - " + std::to_string(hi) + "]");
}

/// The seed: any 64-bit unsigned number, in decimal digits only.
const CLI::Validator SeedNumber(
    [](std::string& text) -> std::string {
        const bool digits = !text.empty() && text.size() <= 20 &&
                            text.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || (text.size() == 20 && text > "18446744073709551615")) {
            return "'" + text + "' is not a whole number between 0 and 18446744073709551615";
        }
        return {};
    },
    "0..18446744073709551615");

const CLI::Validator PlainNumber(
    [](std::string& text) {
        return validatorText(checkNumber(
            text, [](double) { return true; }, ""));
    },
    "NUMBER");

const CLI::Validator Percentage(
    [](std::string& text) {
        return validatorText(checkNumber(
            text, [](double v) { return v >= 0 && v <= 100; }, "0 and 100"));
    },
    "PERCENT");

const CLI::Validator
    FigureFolder([](std::string& folder) { return validatorText(checkFigureFolder(folder)); },
                 "DIR");

const CLI::Validator FormatName(
    [](std::string& name) -> std::string {
        return figureFormat(name) ? std::string{} : "'" + name + "' is not png, svg or pdf";
    },
    "png|svg|pdf");

const CLI::Validator Share(
    [](std::string& text) {
        return validatorText(checkNumber(
            text, [](double v) { return v > 0 && v < 1; }, "0 and 1 (both excluded)"));
    },
    "SHARE");

} // namespace

void describeOptions(CLI::App& app, BatchOptions& o) {
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
            ->check(wholeNumber(1, 20));
    file2->excludes(model);
    app.add_option("--range", o.range,
                   "Lower and upper bound of the axis range, as if typed after the imports "
                   "(default: proposed from file 1)")
        ->expected(2)
        ->allow_extra_args(false)
        ->check(PlainNumber);
    app.add_option("--smoothing", o.smoothing, "Smoothing level in % of the range")
        ->check(wholeNumber(1, 25))
        ->capture_default_str();
    app.add_option("--vthreshold", o.verticalThreshold,
                   "Vertical threshold in samples (horizontal normalisation)")
        ->check(wholeNumber(0, 10))
        ->capture_default_str();
    app.add_option("--hthreshold", o.horizontalThreshold,
                   "Horizontal threshold in samples (vertical normalisation)")
        ->check(wholeNumber(0, 10))
        ->capture_default_str();
    app.add_flag("--skip", o.skip, "Skip the horizontal normalisation");
    app.add_option("--c1", o.coefficient1, "Confidence coefficient 1 in %, 0..100 (default 68.2)")
        ->check(Percentage);
    app.add_option("--c2", o.coefficient2, "Confidence coefficient 2 in %, 0..100 (default 95.4)")
        ->check(Percentage);
    app.add_option("--section", o.section,
                   "Also print the calibration chart's interval read-out for this section "
                   "position, in % of the X axis")
        ->check(wholeNumber(0, 100));
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
    app.add_option("--seed", o.seed,
                   "Seed of the --holdout split and of the --tune folds (the same seed, the "
                   "same split)")
        ->check(SeedNumber)
        ->capture_default_str();
    app.add_flag("--json", o.json,
                 "Predictions as JSON Lines, and the coverage check or the --tune search as one "
                 "JSON object");
    auto* figures = app.add_option("--figures", o.figures,
                                   "Write the figures of both windows into this folder (made "
                                   "when missing): fig1 .. fig8 and chart, the chart at the "
                                   "--section position or in the middle")
                        ->check(FigureFolder);
    app.add_option("--format", o.format, "Picture format of --figures")
        ->check(FormatName)
        ->needs(figures)
        ->capture_default_str();
    auto* tune = app.add_flag(
        "--tune", o.tune,
        "Search the settings by cross-validation on file 1: the smoothing and the generated "
        "model's SD, or with --file2 the smoothing and the thresholds; print them by held-out "
        "log score and coverage, and calibrate with the recommended one for the outputs");
    app.add_option("--folds", o.folds, "Folds of the --tune cross-validation")
        ->check(wholeNumber(2, 100))
        ->needs(tune)
        ->capture_default_str();
    app.add_option("--tolerance", o.tolerance,
                   "How far, in points of %, --tune lets the held-out coverage of each region "
                   "lie from its coefficient")
        ->check(Percentage)
        ->needs(tune)
        ->capture_default_str();
    app.add_option("--threads", o.threads, "Threads of the --tune search (0: one per core)")
        ->check(wholeNumber(0, 1024))
        ->needs(tune)
        ->capture_default_str();
    const CLI::Validator settingList(
        [](std::string& text) { return validatorText(parseSettingList(text)); }, "LIST");
    const struct {
        const char* name;
        std::string* value;
        const char* what;
    } grids[] = {{"--smoothing-grid", &o.smoothingGrid, "Smoothing levels"},
                 {"--model-grid", &o.modelGrid, "Model SDs"},
                 {"--vthreshold-grid", &o.verticalGrid, "Vertical thresholds"},
                 {"--hthreshold-grid", &o.horizontalGrid, "Horizontal thresholds"}};
    for (const auto& g : grids) {
        app.add_option(g.name, *g.value,
                       std::string(g.what) + " --tune searches instead of its own, such as 1-5,8")
            ->check(settingList)
            ->needs(tune);
    }
}

int whole(const std::string& text) {
    return int(*plainNumber(text));
}

} // namespace quendrix
