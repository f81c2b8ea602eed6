#include "batch/BatchCommand.h"

#include "base/NumberText.h"
#include "batch/BatchOptions.h"
#include "batch/FigureHandOff.h"
#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"
#include "io/OutputFile.h"
#include "io/OutputSet.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationUse.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quendrix {
namespace {

int fail(std::ostream& err, const std::string& message) {
    err << "quendrix-batch: " << message << '\n';
    return 1;
}

/// Where each output of a run goes, all checked before anything is computed.
struct OutputPlan {
    OutputSet set;
    std::optional<size_t> output;
    std::optional<size_t> predictions;
    std::vector<size_t> figures;
};

/// Checks every target of the run: its kind, permission and folder, and that no output is an
/// input or another output under whatever name or link.
Status planOutputs(const BatchOptions& o, OutputPlan& plan) {
    plan.set.addInput("file 1", o.file1);
    plan.set.addInput("file 2", o.file2);
    plan.set.addInput("the --apply file", o.apply);
    plan.set.addInput("the --check file", o.check);
    auto add = [&](const std::string& name, const std::string& role, const std::string& path,
                   bool createFolder, std::optional<size_t>& index) -> Status {
        auto added = plan.set.add(name, role, path, createFolder);
        if (!added) {
            return added.failure();
        }
        index = added.value();
        return {};
    };
    if (!o.output.empty()) {
        if (Status st = add("the output", "the -o output", o.output, false, plan.output); !st) {
            return st;
        }
    }
    if (!o.predictions.empty()) {
        if (Status st = add("--predictions", "the --predictions output", o.predictions, false,
                            plan.predictions);
            !st) {
            return st;
        }
    }
    if (!o.figures.empty()) {
        for (const std::string& name : figureFileNames(*figureFormat(o.format))) {
            std::optional<size_t> index;
            const std::string path = (std::filesystem::path(o.figures) / name).string();
            if (Status st = add("the --figures file", "the --figures file", path, true, index);
                !st) {
                return Failure{"--figures: " + st.reason()};
            }
            plan.figures.push_back(*index);
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

/// The predictions of --apply, streamed from its file into the output: memory stays the same
/// whatever the number of measurements.
struct ApplyRun {
    MeasurementFile file; ///< its names and counters; the records are not kept
    PredictionCounts counts;

    OutputProducer producer(const BatchOptions& o, const CalibrationSession& session) {
        return [this, &o, &session](OutputSink& sink) {
            Predictor predict(session.detail(), readoutLabels(session), o.fullPrecision);
            if (!o.json && !sink.write(predictionsCsvHeader())) {
                return false;
            }
            bool written = true;
            const Status read = streamMeasurementFile(o.apply, file, [&](const Measurement& m) {
                const Prediction p = predict(m);
                counts.add(p.kind);
                written = sink.write(o.json ? predictionJsonLine(p) : predictionCsvLine(p));
                return written;
            });
            if (!read) {
                sink.fail("--apply " + o.apply + ": " + read.reason());
                return false;
            }
            return written;
        };
    }

    void warn(const BatchOptions& o, std::ostream& err) const {
        const std::string label = "--apply " + o.apply;
        if (counts.total() == 0) {
            err << "quendrix-batch: " << label << ": no measurement read\n";
        }
        const std::string warning = fieldsWithoutNumberWarning(label, file.fieldsWithoutNumber,
                                                               file.firstFieldWithoutNumberLine);
        if (!warning.empty()) {
            err << "quendrix-batch: " << warning << '\n';
        }
    }
};

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
    if (o.output.empty() && o.apply.empty() && o.check.empty() && !o.holdout && o.figures.empty()) {
        return fail(err, "give the output file with -o (or apply or check the calibration, or "
                         "export its figures)");
    }
    if (!o.figures.empty() && !figures) {
        return handOffToFigureProgram(argc, argv, err);
    }
    OutputPlan plan;
    if (Status st = planOutputs(o, plan); !st) {
        return fail(err, st.reason());
    }
    // Every input but the --apply file, which is streamed into its output, is read before
    // anything is computed.
    std::optional<MeasurementFile> pairs;
    if (!o.check.empty()) {
        auto file = readMeasurements("--check", o.check, err);
        if (!file) {
            return fail(err, file.reason());
        }
        pairs = std::move(file).value();
    }

    CalibrationSession session;
    session.setSmoothing(whole(o.smoothing));
    session.setVerticalThreshold(whole(o.verticalThreshold));
    session.setHorizontalThreshold(whole(o.horizontalThreshold));
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
        HoldoutSplit split =
            splitHoldout(*session.file(0), *plainNumber(*o.holdout), std::stoull(o.seed));
        if (split.heldOut.empty()) {
            return fail(err, "--holdout " + *o.holdout +
                                 " holds out no complete record of file 1, so there is nothing "
                                 "to check with");
        }
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
        Status st = session.setModelPercent(whole(*o.modelPercent));
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
    // An empty result is still a result (and its file is written), but never a silent one.
    if (const std::string empty = session.emptyResult(); !empty.empty()) {
        err << "quendrix-batch: warning: the result is empty: " << empty << '\n';
    }

    const int section = o.section ? whole(*o.section) : 50;
    std::vector<std::string> readout;
    if (o.section || !o.apply.empty() || pairs || !o.figures.empty()) {
        if (Status st = session.buildDetail(); !st) {
            return fail(err, st.reason());
        }
    }
    if (o.section) {
        auto r = session.readout(section);
        if (!r) {
            return fail(err, r.reason());
        }
        readout = r->panelLines();
    }

    // Every content goes to its temporary file; only when all are complete are they put in
    // place, so a failure up to then leaves every old file as it was.
    if (plan.output) {
        auto content = session.commonOutput();
        Status st = content ? plan.set.stage(*plan.output, std::move(content).value())
                            : Status(content.failure());
        if (!st) {
            return fail(err, st.reason());
        }
    }
    ApplyRun apply;
    if (plan.predictions) {
        if (Status st = plan.set.stage(*plan.predictions, apply.producer(o, session)); !st) {
            return fail(err, st.reason());
        }
    }
    if (!plan.figures.empty()) {
        auto files = figures(session, FigureRequest{o.figures, *figureFormat(o.format), section});
        if (!files) {
            return fail(err, "--figures: " + files.reason());
        }
        for (size_t k = 0; k < plan.figures.size() && k < files->size(); ++k) {
            if (Status st = plan.set.stage(plan.figures[k], std::move(files.value()[k])); !st) {
                return fail(err, "--figures: " + st.reason());
            }
        }
    }
    if (Status st = plan.set.commit(); !st) {
        return fail(err, st.reason());
    }
    if (plan.predictions) {
        apply.warn(o, err);
    }

    std::string coverage;
    if (pairs) {
        const CoverageReport r = coverageOf(session, pairs->records);
        coverage = o.json ? coverageJson(r) : coverageTable(r);
    }

    const Captions& c = session.captions();
    std::ostringstream summary;
    // A file read in another convention says so beside its count, for the user to check.
    auto count = [&](int f) {
        const std::string note = conventionNote(session.file(f)->convention);
        return c.count[size_t(f)] + (note.empty() ? "" : " (" + note + ")");
    };
    summary << "N1 = " << count(0);
    if (session.generatedModel()) {
        summary << ", error model y = x, SD = " << c.stdDev;
    } else {
        summary << ", N2 = " << count(1) << ", " << c.fittingLine << ", SD = " << c.stdDev;
    }
    summary << ", range " << c.lowerText << " .. " << c.upperText;
    if (!o.output.empty()) {
        summary << ": wrote " << o.output;
    }
    bool wrote = !o.output.empty();
    if (plan.predictions) {
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
