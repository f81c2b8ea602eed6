#pragma once

#include "base/Result.h"
#include "session/CalibrationSession.h"

#include <array>
#include <optional>

class QProgressBar;

namespace quendrix {

class FigurePanel;
class FigureSynchroniser;

/// How a run of the pipeline ended.
struct RunOutcome {
    bool ran = false;            ///< some stage was asked to run
    Status status;               ///< why the run stopped early
    std::optional<Stage> failed; ///< the stage that refused
};

/// Runs suffixes of the pipeline for the workflow's events, drawing each stage's figure as it
/// completes, with the busy pointer and the progress bar while it runs.
class StageRunner {
  public:
    StageRunner(CalibrationSession& session, FigureSynchroniser& figures, FigurePanel& panel,
                QProgressBar& progress);

    /// "Start": the whole pipeline when Fig.3 is not drawn (the error model from file 2 unless
    /// the generated model stands in), or, with the generated model, everything after it.
    RunOutcome start();
    /// A click on stage figure k (0..5): computes from its stage when it is not drawn yet.
    RunOutcome figureClicked(int k);
    /// After a setting changed: re-runs from the first stage the change undid, if any was done.
    RunOutcome rerun(const std::array<bool, StageCount>& doneBefore);
    std::array<bool, StageCount> doneStages() const;

  private:
    RunOutcome runFrom(Stage first);

    CalibrationSession& session_;
    FigureSynchroniser& figures_;
    FigurePanel& panel_;
    QProgressBar& progress_;
};

} // namespace quendrix
