#include "session/CalibrationSession.h"

#include "base/NumberText.h"

namespace quendrix {

// The calibration as a file: the common output's head and rows, and the checks on its path.

CommonOutputHead CalibrationSession::outputHead() const {
    CommonOutputHead head;
    head.file1Path = captions_.path[0];
    head.file1X = captions_.xName[0];
    head.file1Y = captions_.yName[0];
    head.file2Path = captions_.path[1];
    head.file2X = captions_.xName[1];
    head.file2Y = captions_.yName[1];
    head.generatedModel = generatedModel_;
    head.modelPercent = settings_.modelPercent;
    head.smoothing = float(leadingNumber(captions_.smoothing));
    head.verticalThreshold = settings_.verticalThreshold;
    head.horizontalThreshold = settings_.horizontalThreshold;
    head.coefficient1 = float(leadingNumber(captions_.coefficient[0]));
    head.coefficient2 = float(leadingNumber(captions_.coefficient[1]));
    head.lowerText = captions_.lowerText;
    head.upperText = captions_.upperText;
    return head;
}

Status CalibrationSession::checkOutputPath(const std::string& path) const {
    const std::optional<FileIdentity> output = fileIdentity(path);
    for (int f = 0; f < 2; ++f) {
        if (output && output == fileIdentities_[size_t(f)]) {
            return Failure{"the output would replace file " + std::to_string(f + 1)};
        }
    }
    return {};
}

Result<OutputProducer> CalibrationSession::commonOutput() const {
    if (!done_[size_t(Stage::Confidence)]) {
        return notReady("the confidence regions have not been computed");
    }
    return OutputProducer([head = outputHead(), rows = exportRows(*matrix_)](OutputSink& sink) {
        return produceCommonOutput(head, rows,
                                   [&sink](std::string_view line) { return sink.write(line); });
    });
}

Status CalibrationSession::saveCommonOutput(const std::string& path) const {
    auto content = commonOutput();
    if (!content) {
        return content.failure();
    }
    if (Status st = checkOutputPath(path); !st) {
        return st;
    }
    return writeOutputFile(path, content.value());
}

} // namespace quendrix
