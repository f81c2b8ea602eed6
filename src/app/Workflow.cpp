#include "app/Workflow.h"

#include "app/ChartWindow.h"
#include "app/ClickableLabel.h"
#include "app/ColourSettingsWindow.h"
#include "app/ControlPanel.h"
#include "app/DialogHost.h"
#include "app/FigurePanel.h"
#include "app/MainMenus.h"
#include "app/SettingCommands.h"
#include "app/SuggestSettingsDialog.h"
#include "base/NumberText.h"
#include "data/DataFileReader.h"
#include "tuning/SessionTuning.h"
#include "ui/DialogService.h"
#include "ui/ElidedLabel.h"
#include "ui/FigureSurface.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace quendrix {
namespace {

using ui::latin1;
using ui::qs;

} // namespace

Workflow::Workflow(CalibrationSession& session, ControlPanel& controls, FigurePanel& figures,
                   MainMenus& menus, ui::DialogService& dialogs, QStatusBar& status,
                   QWidget& window)
    : session_(session), controls_(controls), panel_(figures), menus_(menus), dialogs_(dialogs),
      window_(window), sync_(session, figures, window),
      runner_(session, sync_, figures, *controls.run.progress), focus_(controls, figures, window),
      status_(status), printing_(session, controls, figures, sync_, dialogs, status_, window),
      saver_(session, dialogs), chart_(session, dialogs, saver_, printing_, figures, window,
                                       [this] { showColourSettings(); }),
      measurements_(session, dialogs),
      dialogHost_(
          window, session.state(),
          [this](int k, const QString& typed) { coefficientTyped(k, typed); },
          [this] { colourSettingsChanged(); },
          [this](const TrialScore& trial) { useSuggestion(trial); }),
      recent_(*menus.recentFiles, [this](int f, const QString& path) { importPath(f, path); }) {
    connect(this, &Workflow::coloursChanged, this, [this] {
        if (ChartWindow* chart = chart_.window()) {
            chart->coloursChanged();
        }
    });
}

Workflow::~Workflow() = default;

void Workflow::formLoad() {
    ControlPanel& c = controls_;
    const PipelineSettings& settings = session_.settings();
    {
        // Start-up values, not user changes: nothing runs.
        const QSignalBlocker blocks[] = {
            QSignalBlocker(c.coefficients.sliders[0]), QSignalBlocker(c.coefficients.sliders[1]),
            QSignalBlocker(c.smoothing.slider),        QSignalBlocker(c.model.modelSlider),
            QSignalBlocker(c.thresholds.vertical),     QSignalBlocker(c.thresholds.horizontal)};
        c.range.lower->clear();
        c.range.upper->clear();
        c.coefficients.sliders[0]->setValue(settings.coefficients.first);
        c.coefficients.sliders[1]->setValue(settings.coefficients.second);
        c.smoothing.slider->setValue(settings.smoothing);
        c.model.modelSlider->setValue(settings.modelPercent);
        c.thresholds.vertical->setValue(settings.verticalThreshold);
        c.thresholds.horizontal->setValue(settings.horizontalThreshold);
    }
    c.thresholds.verticalCaption->setText(thresholdCaption(settings.verticalThreshold));
    c.thresholds.horizontalCaption->setText(thresholdCaption(settings.horizontalThreshold));
    c.model.modelSlider->hide();
    c.model.modelCaption->setText(QStringLiteral("Std.Dev.:"));
    c.model.modelCaption->hide();
    c.run.progress->setRange(0, 250);
    c.run.progress->setValue(0);
    c.run.progress->hide();
    c.model.showFittingLine->setChecked(false);
    c.coefficients.showMode->setChecked(true);
    c.coefficients.showAverage->setChecked(true);
    c.model.generateModel->setChecked(false);
    c.thresholds.skip->setChecked(false);
    syncCaptions();
    startEnabled_ = false;
    syncControls();
    // The keyboard can start at once.
    focus_.apply(FocusEvent::Opened, focusState());
}

int Workflow::completeCount(int f) const {
    const std::optional<DataFile>& file = session_.file(f);
    return file ? file->completeCount : 0;
}

bool Workflow::rangeSet() const {
    return !controls_.range.lower->text().isEmpty() && !controls_.range.upper->text().isEmpty();
}

FocusState Workflow::focusState(int file, std::optional<Stage> failed) const {
    FocusState s;
    s.file = file;
    s.file1Usable = completeCount(0) > 1;
    s.file2Line = !session_.generatedModel() && !session_.captions().fittingLine.empty();
    s.generatedModel = session_.generatedModel();
    s.rangeSet = rangeSet();
    s.startEnabled = controls_.run.start->isEnabled();
    s.nextFigure = sync_.firstUndrawnStage();
    s.failed = failed;
    return s;
}

// ---- captions and enabling ---------------------------------------------------------------

void Workflow::syncCaptions() {
    const Captions& cap = session_.captions();
    ControlPanel& c = controls_;
    for (int f = 0; f < 2; ++f) {
        const auto i = size_t(f);
        FileControls& file = c.file[i];
        file.count->setText(qs(cap.count[i]));
        file.correlation->setText(qs(cap.correlation[i]));
        file.xName->setText(qs(cap.xName[i]));
        file.yName->setText(qs(cap.yName[i]));
        file.path->setText(qs(cap.path[i]));
        c.coefficients.values[i]->setText(qs(cap.coefficient[i]));
    }
    c.model.fittingLine->setText(qs(cap.fittingLine));
    c.model.stdDev->setText(qs(cap.stdDev));
    c.smoothing.value->setText(qs(cap.smoothing));
}

void Workflow::syncControls() {
    ControlPanel& c = controls_;
    const bool model = session_.generatedModel();
    auto drawn = [this](int n) { return sync_.drawn(n); };
    auto surface = [this](int n) { return panel_.figure(n); };
    for (int f = 0; f < 2; ++f) {
        surface(f + 1)->setEnabled(drawn(f + 1));
    }
    // A stage figure can be clicked once it is drawn or once the stage before it is.
    surface(3)->setEnabled(drawn(3) || (drawn(1) && (drawn(2) || model) && rangeSet()));
    surface(4)->setEnabled(drawn(4) || (drawn(3) && drawn(1)));
    surface(5)->setEnabled(drawn(5) || drawn(4));
    surface(6)->setEnabled(drawn(6) || drawn(5));
    surface(7)->setEnabled(drawn(7));
    surface(8)->setEnabled(drawn(8) || drawn(7));
    c.coefficients.showMode->setEnabled(drawn(8));
    c.coefficients.showAverage->setEnabled(drawn(8));
    // Only a line the caption names can be shown.
    c.model.showFittingLine->setEnabled(drawn(2) && !model &&
                                        !session_.captions().fittingLine.empty());
    c.model.generateModel->setEnabled(drawn(1));
    c.file[1].importButton->setEnabled(!model);
    c.run.start->setEnabled(startEnabled_);
    menus_.commonOutput->setEnabled(drawn(8));
    menus_.checkCoverage->setEnabled(drawn(8));
    menus_.exportFigures->setEnabled(drawn(8));
    menus_.suggestSettings->setEnabled(completeCount(0) > 0);
    printing_.syncCopyItems();
    // The chart shows the fine matrices of one result; any change that undoes it closes it.
    chart_.closeIfStale();
}

// ---- pipeline ----------------------------------------------------------------------------

void Workflow::finishRun(const RunOutcome& outcome) {
    syncControls();
    if (!outcome.status) {
        status_.show(qs(outcome.status.reason()));
        focus_.apply(FocusEvent::StagesRefused, focusState(0, outcome.failed));
        return;
    }
    showResultState();
    focus_.apply(FocusEvent::StagesRun, focusState());
}

/// A run that ends in no region at all says so, and why, instead of leaving blank figures.
void Workflow::showResultState() {
    if (const std::string empty = session_.emptyResult(); !empty.empty()) {
        status_.show(QStringLiteral("The result is empty: ") + qs(empty));
    } else {
        status_.clear();
    }
}

void Workflow::start() {
    focus_.begin();
    // "Start" disables itself; without the focus it hands none on to its neighbour, "Quit".
    controls_.run.start->clearFocus();
    startEnabled_ = false;
    finishRun(runner_.start());
}

void Workflow::figureClicked(int k) {
    if ((k == 4 && sync_.drawn(7)) || (k == 5 && sync_.drawn(8))) {
        openChart(k == 4 ? ChartMode::Probability : ChartMode::Confidence);
        return;
    }
    focus_.begin();
    const RunOutcome outcome = runner_.figureClicked(k);
    if (outcome.ran) {
        finishRun(outcome);
    }
}

void Workflow::figurePressed(int n, Qt::MouseButton button, const QPoint& at) {
    if (button != Qt::RightButton) {
        return;
    }
    if (n >= 7) {
        panel_.figure(n)->setFlat(false);
    }
    menus_.figureMenu(n, sync_.drawn(n))->popup(at);
}

void Workflow::openChart(ChartMode mode) {
    if (!sync_.drawn(mode == ChartMode::Probability ? 7 : 8)) {
        return;
    }
    if (Status st = chart_.open(mode); !st) {
        status_.show(
            QStringLiteral("The calibration chart was not opened: %1").arg(qs(st.reason())));
    }
}

void Workflow::saveResult() {
    saver_.save(&window_, status_);
}

void Workflow::checkCoverage() {
    if (!sync_.drawn(8)) {
        return;
    }
    const std::optional<CoverageResult> result = measurements_.checkCoverage(&window_, status_);
    if (!result) {
        return;
    }
    dialogHost_.showCoverage(*result);
}

CoverageDialog* Workflow::coverageDialog() const {
    return dialogHost_.coverage();
}

void Workflow::suggestSettings() {
    Result<TuningProblem> problem = tuningProblemOf(session_);
    if (!problem) {
        status_.show(QStringLiteral("No settings were suggested: %1").arg(qs(problem.reason())));
        return;
    }
    status_.clear();
    dialogHost_.suggestions().search(std::move(problem).value());
}

SuggestSettingsDialog* Workflow::suggestionDialog() const {
    return dialogHost_.suggestionsIfMade();
}

void Workflow::useSuggestion(const TrialScore& trial) {
    // As if the user moved each slider, captions and all, but with one run of the stages for
    // all of them rather than one per slider.
    ControlPanel& c = controls_;
    if (trial.modelPercent != 0) {
        c.model.modelSlider->setValue(trial.modelPercent);
    }
    const std::pair<QSlider*, std::pair<Setting, int>> moves[] = {
        {c.smoothing.slider, {Setting::Smoothing, trial.smoothing}},
        {c.thresholds.vertical, {Setting::VerticalThreshold, trial.verticalThreshold}},
        {c.thresholds.horizontal, {Setting::HorizontalThreshold, trial.horizontalThreshold}}};
    focus_.begin();
    const auto before = runner_.doneStages();
    for (const auto& [slider, setting] : moves) {
        const QSignalBlocker block(slider);
        slider->setValue(setting.second);
        takeSetting(session_, controls_, setting.first, slider->value());
    }
    settingChanged(before);
    if (c.run.start->isEnabled()) {
        start();
    }
}

void Workflow::settingChanged(const std::array<bool, StageCount>& doneBefore) {
    const RunOutcome outcome = runner_.rerun(doneBefore);
    syncControls();
    if (!outcome.status) {
        status_.show(qs(outcome.status.reason()));
    } else {
        showResultState();
    }
    // A keyboard step on a slider leaves the focus on it, even when it recomputed stages.
    focus_.apply(FocusEvent::SettingChanged, focusState(0, outcome.failed));
}

void Workflow::changeSetting(Setting setting, int value) {
    focus_.begin();
    const auto before = runner_.doneStages();
    takeSetting(session_, controls_, setting, value);
    settingChanged(before);
}

void Workflow::coefficientTyped(int k, const QString& typed) {
    focus_.begin();
    const auto before = runner_.doneStages();
    session_.setCoefficientText(k, latin1(typed));
    const QString caption = qs(session_.captions().coefficient[size_t(k)]);
    controls_.coefficients.values[size_t(k)]->setText(caption);
    {
        const auto& coefficients = session_.settings().coefficients;
        QSlider* slider = controls_.coefficients.sliders[size_t(k)];
        const QSignalBlocker block(slider);
        slider->setValue(k == 0 ? coefficients.first : coefficients.second);
    }
    settingChanged(before);
    // Whatever was not typed as a plain number between 0 and 100 is said how it was taken.
    const double value = leadingNumber(latin1(typed));
    const QString name = QStringLiteral("Coefficient %1").arg(k + 1);
    QString message = qs(readingNote(latin1(name), latin1(typed), shortestText(value)));
    if (!(value >= 0 && value <= 100)) {
        message = message.isEmpty() ? QStringLiteral("%1 was clipped to %2").arg(name, caption)
                                    : message + QStringLiteral(" and clipped to %1").arg(caption);
        message += QStringLiteral(": a coefficient lies between 0 and 100 %");
    }
    if (!message.isEmpty()) {
        status_.show(message);
    }
}

void Workflow::overlayClicked() {
    sync_.setOverlays(controls_.coefficients.showMode->isChecked(),
                      controls_.coefficients.showAverage->isChecked());
    status_.clear();
}

void Workflow::showFittingLineClicked() {
    sync_.showFittingLine(controls_.model.showFittingLine->isChecked());
    status_.clear();
}

// ---- dialogs, activation, colours, shut-down ----------------------------------------------

void Workflow::openCoefficientDialog(int k) {
    dialogHost_.openCoefficient(k, controls_.coefficients.values[size_t(k)]->text());
}

void Workflow::openAboutBox() {
    dialogHost_.openAbout();
}

void Workflow::openPrintOptions() {
    printOptionsShown();
    printing_.showPrintOptions();
}

void Workflow::showColourSettings() {
    dialogHost_.showColourSettings();
}

ColourSettingsWindow* Workflow::colourSettings() const {
    return dialogHost_.colourSettings();
}

// A change made while this window stays active (the wheel over the colour window) cannot wait
// for an activation.
void Workflow::colourSettingsChanged() {
    if (window_.isActiveWindow() && colours_.activated(session_.state())) {
        sync_.recolour();
    }
    emit coloursChanged();
}

void Workflow::activated() {
    if (colours_.activated(session_.state())) {
        sync_.recolour();
    }
    dialogHost_.mainWindowActivated();
}

void Workflow::shutDown() {
    dialogHost_.closeAll();
    printing_.closeDialogs();
    chart_.close();
}

} // namespace quendrix
