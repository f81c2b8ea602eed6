#include "app/Workflow.h"

#include "app/ControlPanel.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>

namespace quendrix {
namespace {

using ui::qs;

QString modelCaption(int percent) {
    return QStringLiteral("Std.Dev.: %1 % of range").arg(percent);
}

} // namespace

// The generated error model standing in for file 2, and its deviation.

void Workflow::generateModelClicked() {
    focus_.begin();
    ControlPanel& c = controls_;
    if (c.model.generateModel->isChecked()) {
        if (Status st = session_.setGeneratedModel(true); !st) {
            const QSignalBlocker block(c.model.generateModel);
            c.model.generateModel->setChecked(false);
            status_.show(
                QStringLiteral("The error model was not generated: %1").arg(qs(st.reason())));
            focus_.apply(FocusEvent::StagesRefused, focusState(1, Stage::GaussianModel));
            return;
        }
        c.placeStartButton(true);
        c.model.showFittingLine->setChecked(false);
        c.model.modelSlider->show();
        c.model.modelCaption->setText(modelCaption(c.model.modelSlider->value()));
        c.model.modelCaption->show();
        sync_.clearScatter(1);
        sync_.clearStale();
        syncCaptions();
        sync_.drawStage(Stage::GaussianModel);
    } else {
        // Switching the model off is never refused.
        (void)session_.setGeneratedModel(false);
        resetModelControls();
    }
    status_.clear();
    startEnabled_ = true;
    syncControls();
    focus_.apply(FocusEvent::ModelSwitched, focusState(1));
}

/// The controls of the generated model back to file 2 (`ResetModel`).
void Workflow::resetModelControls() {
    ControlPanel& c = controls_;
    {
        const QSignalBlocker block(c.model.generateModel);
        c.model.generateModel->setChecked(false);
    }
    c.placeStartButton(false);
    c.model.modelSlider->hide();
    c.model.modelCaption->setText(QStringLiteral("Std.Dev.: "));
    c.model.modelCaption->hide();
    // File 2's samples outlive the model: Fig.2 shows them again.
    if (completeCount(1) >= 1) {
        sync_.drawScatter(1);
    }
    sync_.clearStale();
    syncCaptions();
    syncControls();
}

void Workflow::modelSliderChanged(int percent) {
    focus_.begin();
    Status st = session_.setModelPercent(percent);
    if (session_.generatedModel()) {
        controls_.model.modelCaption->setText(modelCaption(percent));
    }
    sync_.clearStale();
    syncCaptions();
    if (!st) {
        status_.show(QStringLiteral("The error model was not generated: %1").arg(qs(st.reason())));
    } else {
        status_.clear();
        if (session_.generatedModel() && session_.stageDone(Stage::GaussianModel)) {
            sync_.drawStage(Stage::GaussianModel);
        }
    }
    startEnabled_ = true;
    syncControls();
    focus_.apply(FocusEvent::SettingChanged, focusState(1));
}

} // namespace quendrix
