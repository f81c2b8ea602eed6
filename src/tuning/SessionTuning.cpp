#include "tuning/SessionTuning.h"

#include "base/NumberText.h"

namespace quendrix {

Result<TuningProblem> tuningProblemOf(const CalibrationSession& session) {
    if (!session.file(0)) {
        return notReady("import file 1 first");
    }
    if (session.file(0)->completeCount == 0) {
        return notReady("file 1 holds no complete record");
    }
    const Captions& c = session.captions();
    if (!session.grid() || c.lowerText.empty() || c.upperText.empty()) {
        return notReady("set a valid axis range first");
    }
    TuningProblem p;
    if (!session.generatedModel()) {
        if (!session.errorModelFromFile()) {
            return notReady("no error model: import file 2 (two or more complete records with "
                            "different X values) or generate the model");
        }
        const FileStatistics& s = session.statistics(1);
        p.fileModel = ErrorLine{s.slope, s.intercept, s.stdDev};
    }
    p.samples = *session.file(0);
    // The numbers the axes and the coverage check read, not the grid's singles.
    p.lower = leadingNumber(c.lowerText);
    p.upper = leadingNumber(c.upperText);
    p.grid = *session.grid();
    p.rangeWidth = session.rangeWidth();
    const PipelineSettings& s = session.settings();
    p.coefficients = s.coefficients;
    p.verticalThreshold = s.verticalThreshold;
    p.horizontalThreshold = s.horizontalThreshold;
    p.skip = s.skip;
    return p;
}

Status applyTrial(CalibrationSession& session, const TrialScore& trial) {
    if (trial.modelPercent != 0) {
        if (Status st = session.setModelPercent(trial.modelPercent); !st) {
            return st;
        }
    }
    session.setSmoothing(trial.smoothing);
    session.setVerticalThreshold(trial.verticalThreshold);
    session.setHorizontalThreshold(trial.horizontalThreshold);
    return {};
}

} // namespace quendrix
