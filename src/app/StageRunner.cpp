#include "app/StageRunner.h"

#include "app/FigurePanel.h"
#include "app/FigureSynchroniser.h"
#include "ui/BusyCursor.h"
#include "ui/FigureSurface.h"

#include <QProgressBar>

namespace quendrix {

StageRunner::StageRunner(CalibrationSession& session, FigureSynchroniser& figures,
                         FigurePanel& panel, QProgressBar& progress)
    : session_(session), figures_(figures), panel_(panel), progress_(progress) {}

std::array<bool, StageCount> StageRunner::doneStages() const {
    std::array<bool, StageCount> done{};
    for (int s = 0; s < StageCount; ++s) {
        done[size_t(s)] = session_.stageDone(Stage(s));
    }
    return done;
}

RunOutcome StageRunner::runFrom(Stage first) {
    ui::BusyCursor busy;
    progress_.setRange(0, StageCount);
    progress_.show();
    RunOutcome outcome;
    outcome.ran = true;
    for (int s = int(first); s < StageCount; ++s) {
        const auto stage = Stage(s);
        progress_.setValue(s);
        // A stage's own figure takes no clicks while it runs.
        panel_.figure(stage == Stage::Confidence ? 8 : s + 3)->setEnabled(false);
        if (Status st = session_.runStage(stage); !st) {
            outcome.status = st;
            outcome.failed = stage;
            if (stage == Stage::Confidence) {
                figures_.drawStage(Stage::NormalizeV);
            }
            break;
        }
        // The regions' stage draws Fig.7 masked, so it is drawn plain only where that stage
        // does not follow.
        if (stage == Stage::NormalizeV && s + 1 < StageCount) {
            continue;
        }
        figures_.drawStage(stage);
    }
    progress_.setValue(0);
    progress_.hide();
    figures_.clearStale();
    return outcome;
}

RunOutcome StageRunner::start() {
    if (!figures_.drawn(3)) {
        return runFrom(Stage::GaussianModel);
    }
    if (session_.generatedModel()) {
        return runFrom(Stage::DescreteModel);
    }
    return {};
}

RunOutcome StageRunner::figureClicked(int k) {
    // Fig.7 has no stage of its own to start from; drawn figures compute nothing.
    static constexpr std::array<std::optional<Stage>, 6> startsAt = {
        Stage::GaussianModel, Stage::DescreteModel, Stage::Smoothing,
        Stage::NormalizeH,    std::nullopt,         Stage::Confidence};
    const std::optional<Stage> first = startsAt[size_t(k)];
    if (!first || figures_.drawn(k == 5 ? 8 : k + 3)) {
        return {};
    }
    return runFrom(*first);
}

RunOutcome StageRunner::rerun(const std::array<bool, StageCount>& doneBefore) {
    figures_.clearStale();
    for (int s = 0; s < StageCount; ++s) {
        if (doneBefore[size_t(s)] && !session_.stageDone(Stage(s))) {
            return runFrom(Stage(s));
        }
    }
    return {};
}

} // namespace quendrix
