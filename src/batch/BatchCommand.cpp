#include "batch/BatchCommand.h"

#include "base/NumberText.h"
#include "batch/BatchOptions.h"
#include "batch/BatchOutputs.h"
#include "batch/FigureHandOff.h"
#include "batch/TuneReport.h"
#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"
#include "data/MeasurementFileReader.h"
#include "io/OutputFile.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationSetup.h"
#include "session/CalibrationUse.h"
#include "tuning/SessionTuning.h"

#include <CLI/CLI.hpp>

#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quendrix {
namespace {

int fail(std::ostream& err, const std::string& message) {
    sayOnError(err, message);
    return 1;
}

/// One run of the command after its options were read and its outputs checked, as steps: each
/// either succeeds or ends the run with its reason, before anything was put in place.
class BatchRun {
  public:
    BatchRun(const BatchOptions& o, OutputPlan& plan, const FigureRenderer& figures,
             std::ostream& out, std::ostream& err)
        : o_(o), plan_(plan), figures_(figures), out_(out), err_(err) {}

    /// Every input but the --apply file, which is streamed into its output, is read before
    /// anything is computed.
    Status readPairs();
    Status importFiles();
    /// The range and the error model.
    Status prepare();
    /// The settings search; the session takes the recommended setting.
    Status tune();
    Status calibrate();
    Status readOff();
    /// Every content goes to its temporary file; only when all are complete are they put in
    /// place, so a failure up to then leaves every old file as it was.
    Status writeOutputs();
    void report();

  private:
    /// A search with nothing else asked for needs no calibration of its own.
    bool tuneOnly() const {
        return o_.tune && o_.output.empty() && o_.apply.empty() && !pairs_ && o_.figures.empty() &&
               !o_.section;
    }
    Result<MeasurementFile> readMeasurements(const std::string& option, const std::string& path);
    void warnAbout(int f);
    std::string summary() const;

    const BatchOptions& o_;
    OutputPlan& plan_;
    const FigureRenderer& figures_;
    std::ostream& out_;
    std::ostream& err_;
    CalibrationSession session_;
    std::optional<MeasurementFile> pairs_;
    ApplyRun apply_;
    int section_ = 50;
    std::vector<std::string> readout_;
    std::string tuneReport_;
};

Result<MeasurementFile> BatchRun::readMeasurements(const std::string& option,
                                                   const std::string& path) {
    auto file = readMeasurementFile(path);
    if (!file) {
        return Failure{option + " " + path + ": " + file.reason()};
    }
    sayOnError(err_, fieldsWithoutNumberWarning(option + " " + path, file->fieldsWithoutNumber,
                                                file->firstFieldWithoutNumberLine));
    return file;
}

void BatchRun::warnAbout(int f) {
    sayOnError(err_, importWarning(f, *session_.file(f)));
}

Status BatchRun::readPairs() {
    if (o_.check.empty()) {
        return {};
    }
    auto file = readMeasurements("--check", o_.check);
    if (!file) {
        return file;
    }
    pairs_ = std::move(file).value();
    return {};
}

/// File 1 (less its held-out records) and file 2, with the settings that the import uses.
Status BatchRun::importFiles() {
    CalibrationSettings settings;
    settings.smoothing = whole(o_.smoothing);
    settings.verticalThreshold = whole(o_.verticalThreshold);
    settings.horizontalThreshold = whole(o_.horizontalThreshold);
    settings.skip = o_.skip;
    settings.coefficient1 = o_.coefficient1;
    settings.coefficient2 = o_.coefficient2;
    applySettings(session_, settings);

    if (Status st = session_.importFile(0, o_.file1, o_.file1); !st) {
        return Failure{"file 1 (" + o_.file1 + "): " + st.reason()};
    }
    warnAbout(0);
    const bool anyComplete = session_.file(0)->completeCount != 0;
    if (o_.holdout && anyComplete) {
        HoldoutSplit split =
            splitHoldout(*session_.file(0), *plainNumber(*o_.holdout), std::stoull(o_.seed));
        if (split.heldOut.empty()) {
            return Failure{"--holdout " + *o_.holdout +
                           " holds out no complete record of file 1, so there is nothing to "
                           "check with"};
        }
        if (Status st = session_.importData(0, std::move(split.kept), o_.file1); !st) {
            return Failure{"file 1 (" + o_.file1 + "): " + st.reason()};
        }
        pairs_ = MeasurementFile{};
        pairs_->records = std::move(split.heldOut);
    }
    if (Status st = requireCompleteRecord(session_); !st) {
        if (anyComplete) {
            return Failure{"--holdout " + *o_.holdout +
                           " holds out every complete record of file 1, so there is nothing "
                           "left to calibrate with"};
        }
        return Failure{"file 1 (" + o_.file1 + "): " + st.reason()};
    }
    if (!o_.file2.empty()) {
        if (Status st = session_.importFile(1, o_.file2, o_.file2); !st) {
            return Failure{"file 2 (" + o_.file2 + "): " + st.reason()};
        }
        warnAbout(1);
    }
    return {};
}

Status BatchRun::prepare() {
    if (!o_.range.empty()) {
        if (Status st = applyRange(session_, o_.range[0], o_.range[1]); !st) {
            return st;
        }
    }
    if (Status st = requireAxisRange(session_); !st) {
        return Failure{st.reason() + "; give one with --range LO HI"};
    }
    if (o_.modelPercent) {
        return applyGeneratedModel(session_, whole(*o_.modelPercent));
    }
    return {};
}

Status BatchRun::tune() {
    if (!o_.tune) {
        return {};
    }
    auto problem = tuningProblemOf(session_);
    if (!problem) {
        return problem;
    }
    SearchGrid grid = defaultSearchGrid(problem.value());
    const std::pair<const std::string&, std::vector<int>&> lists[] = {
        {o_.smoothingGrid, grid.smoothing},
        {o_.modelGrid, grid.modelPercent},
        {o_.verticalGrid, grid.verticalThreshold},
        {o_.horizontalGrid, grid.horizontalThreshold}};
    for (const auto& [text, values] : lists) {
        if (!text.empty()) {
            values = parseSettingList(text).value();
        }
    }
    TuningOptions options;
    options.folds = whole(o_.folds);
    options.seed = std::stoull(o_.seed);
    options.tolerance = *plainNumber(o_.tolerance);
    options.threads = whole(o_.threads);
    auto result = tuneSettings(problem.value(), grid, options);
    if (!result) {
        return Failure{"--tune: " + result.reason()};
    }
    tuneReport_ = o_.json ? tuneJson(result.value(), o_) : tuneTable(result.value(), o_);
    return applyTrial(session_, result->recommended());
}

/// Every stage of the pipeline.
Status BatchRun::calibrate() {
    if (tuneOnly()) {
        return {};
    }
    if (Status st = session_.runAll(); !st) {
        return st;
    }
    // An empty result is still a result (and its file is written), but never a silent one.
    if (const std::string empty = session_.emptyResult(); !empty.empty()) {
        sayOnError(err_, "warning: the result is empty: " + empty);
    }
    return {};
}

/// The detail matrices when anything reads off the calibration, and the section's read-out.
Status BatchRun::readOff() {
    if (tuneOnly()) {
        return {};
    }
    if (o_.section) {
        section_ = whole(*o_.section);
    }
    if (o_.section || !o_.apply.empty() || pairs_ || !o_.figures.empty()) {
        if (Status st = session_.buildDetail(); !st) {
            return st;
        }
    }
    if (o_.section) {
        auto r = session_.readout(section_);
        if (!r) {
            return r;
        }
        readout_ = r->panelLines();
    }
    return {};
}

Status BatchRun::writeOutputs() {
    if (plan_.output) {
        auto content = session_.commonOutput();
        if (!content) {
            return content;
        }
        if (Status st = plan_.set.stage(*plan_.output, std::move(content).value()); !st) {
            return st;
        }
    }
    if (plan_.predictions) {
        if (Status st = plan_.set.stage(*plan_.predictions, apply_.producer(o_, session_)); !st) {
            return st;
        }
    }
    if (!plan_.figures.empty()) {
        auto files =
            figures_(session_, FigureRequest{o_.figures, *figureFormat(o_.format), section_});
        if (!files) {
            return Failure{"--figures: " + files.reason()};
        }
        for (size_t k = 0; k < plan_.figures.size() && k < files->size(); ++k) {
            if (Status st = plan_.set.stage(plan_.figures[k], std::move(files.value()[k])); !st) {
                return Failure{"--figures: " + st.reason()};
            }
        }
    }
    if (Status st = plan_.set.commit(); !st) {
        return st;
    }
    if (plan_.predictions) {
        apply_.warn(o_, err_);
    }
    return {};
}

/// One line: the counts, the error model, the range and what was written.
std::string BatchRun::summary() const {
    const Captions& c = session_.captions();
    std::ostringstream summary;
    // A file read in another convention says so beside its count, for the user to check.
    auto count = [&](int f) {
        const std::string note = conventionNote(session_.file(f)->convention);
        return c.count[size_t(f)] + (note.empty() ? "" : " (" + note + ")");
    };
    summary << "N1 = " << count(0);
    if (session_.generatedModel()) {
        summary << ", error model y = x, SD = " << c.stdDev;
    } else {
        summary << ", N2 = " << count(1) << ", " << c.fittingLine << ", SD = " << c.stdDev;
    }
    summary << ", range " << c.lowerText << " .. " << c.upperText;
    if (!o_.output.empty()) {
        summary << ": wrote " << o_.output;
    }
    bool wrote = !o_.output.empty();
    if (plan_.predictions) {
        summary << (wrote ? ", " : ": wrote ") << o_.predictions;
        wrote = true;
    }
    if (!o_.figures.empty()) {
        summary << (wrote ? ", " : ": wrote ") << "the figures in " << o_.figures;
    }
    return summary.str();
}

void BatchRun::report() {
    std::string coverage;
    if (pairs_) {
        const CoverageReport r = coverageOf(session_, pairs_->records);
        coverage = o_.json ? coverageJson(r) : coverageTable(r);
    }
    // A file on standard output (-o /dev/stdout) or a JSON report must not mix with the summary.
    const std::optional<FileIdentity> stdoutFile = fileIdentity("/dev/stdout");
    const bool fileOnStdout =
        stdoutFile && (fileIdentity(o_.output) == stdoutFile ||
                       (!o_.predictions.empty() && fileIdentity(o_.predictions) == stdoutFile));
    (fileOnStdout ? err_ : out_) << tuneReport_;
    if (tuneOnly()) {
        return;
    }
    std::ostream& report = fileOnStdout || (o_.json && (pairs_ || o_.tune)) ? err_ : out_;
    report << summary() << '\n';
    for (const auto& line : readout_) {
        report << line << '\n';
    }
    if (pairs_) {
        (fileOnStdout ? err_ : out_) << coverage;
    }
}

/// Runs the batch; a failed allocation anywhere ends it in runBatch with nothing written.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        const FigureRenderer& figures) {
    CLI::App app{"", "quendrix-batch"};
    BatchOptions o;
    describeOptions(app, o);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err);
    }
    if (o.file2.empty() && !o.modelPercent) {
        return fail(err, "give the error data with --file2 or generate the model with --model-sd");
    }
    if (o.output.empty() && o.apply.empty() && o.check.empty() && !o.holdout && o.figures.empty() &&
        !o.tune) {
        return fail(err, "give the output file with -o (or apply or check the calibration, "
                         "export its figures or tune its settings)");
    }
    if (!o.holdout && !o.tune && app.count("--seed") != 0) {
        return fail(err, "--seed needs --holdout or --tune");
    }
    if (o.tune && o.json && (!o.check.empty() || o.holdout)) {
        return fail(err, "--json prints one object: give --tune or a coverage check with it, "
                         "not both");
    }
    if (!o.figures.empty() && !figures) {
        return handOffToFigureProgram(argc, argv, err);
    }
    OutputPlan plan;
    if (Status st = planOutputs(o, plan); !st) {
        return fail(err, st.reason());
    }
    BatchRun batch(o, plan, figures, out, err);
    for (auto step :
         {&BatchRun::readPairs, &BatchRun::importFiles, &BatchRun::prepare, &BatchRun::tune,
          &BatchRun::calibrate, &BatchRun::readOff, &BatchRun::writeOutputs}) {
        if (Status st = (batch.*step)(); !st) {
            return fail(err, st.reason());
        }
    }
    batch.report();
    return 0;
}

} // namespace

int runBatch(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
             const FigureRenderer& figures) {
    try {
        return run(argc, argv, out, err, figures);
    } catch (const std::bad_alloc&) {
        // Whatever was under way is unwound: its temporary files are gone, no old file changed.
        return fail(err, "not enough memory to finish; nothing was written");
    }
}

} // namespace quendrix
