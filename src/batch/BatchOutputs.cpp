#include "batch/BatchOutputs.h"

#include "data/DataFileReader.h"
#include "export/FigureFiles.h"
#include "session/CalibrationSession.h"
#include "session/CalibrationUse.h"

#include <filesystem>
#include <string>

namespace quendrix {

void sayOnError(std::ostream& err, const std::string& text) {
    if (!text.empty()) {
        err << "quendrix-batch: " << text << '\n';
    }
}

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

OutputProducer ApplyRun::producer(const BatchOptions& o, const CalibrationSession& session) {
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

void ApplyRun::warn(const BatchOptions& o, std::ostream& err) const {
    const std::string label = "--apply " + o.apply;
    if (counts.total() == 0) {
        sayOnError(err, label + ": no measurement read");
    }
    sayOnError(err, fieldsWithoutNumberWarning(label, file.fieldsWithoutNumber,
                                               file.firstFieldWithoutNumberLine));
}

} // namespace quendrix
