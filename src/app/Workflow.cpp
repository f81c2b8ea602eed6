#include "app/Workflow.h"

#include "app/AboutBox.h"
#include "app/ChartWindow.h"
#include "app/ClickableLabel.h"
#include "app/CoefficientDialog.h"
#include "app/ColourSettingsWindow.h"
#include "app/ControlPanel.h"
#include "app/CoverageDialog.h"
#include "app/FigurePanel.h"
#include "app/MainMenus.h"
#include "base/NumberText.h"
#include "data/DataFileReader.h"
#include "ui/DialogService.h"
#include "ui/ElidedLabel.h"
#include "ui/FigureSurface.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStringList>

#include <utility>

namespace quendrix {
namespace {

using ui::latin1;
using ui::qs;

const QString DataFileFilter = QStringLiteral("DataFile(*.csv)");

QString thresholdCaption(int samples) {
    return QStringLiteral("Threshold: %1 sample(s)").arg(samples);
}

QString modelCaption(int percent) {
    return QStringLiteral("Std.Dev.: %1 % of range").arg(percent);
}

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
      measurements_(session, dialogs) {
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
    printing_.syncCopyItems();
    // The chart shows the fine matrices of one result; any change that undoes it closes it.
    chart_.closeIfStale();
}

// ---- import ------------------------------------------------------------------------------

/// What the import could not compute from the file, for the status line.
QString Workflow::importNote(int f) const {
    const int n = completeCount(f);
    if (n == 0) {
        return QStringLiteral("no complete record, so no statistics");
    }
    if (n == 1) {
        return QStringLiteral("only one complete record, so no statistics");
    }
    if (f == 1 && session_.captions().fittingLine.empty()) {
        return QStringLiteral("no fitting line: all X values are equal");
    }
    if (session_.captions().correlation[size_t(f)].empty()) {
        return QStringLiteral("no correlation: all X or all Y values are equal");
    }
    return {};
}

void Workflow::readDataFile(int f) {
    focus_.begin();
    const QString path = dialogs_.openFileName(&window_, DataFileFilter);
    if (path.isEmpty()) {
        focus_.apply(FocusEvent::ImportFailed, focusState(f));
        return;
    }
    importPath(f, path);
}

void Workflow::importPath(int f, const QString& path) {
    focus_.begin();
    const bool modelWasOn = session_.generatedModel();
    if (Status st = session_.importFile(f, path.toStdString(), latin1(path)); !st) {
        status_.show(
            QStringLiteral("File %1 was not imported: %2").arg(f + 1).arg(qs(st.reason())));
        focus_.apply(FocusEvent::ImportFailed, focusState(f));
        return;
    }
    const QString name = QFileInfo(path).fileName();
    const QString note = importNote(f);
    QString message = QStringLiteral("Imported ") + name;
    // A file read in another convention is said so, for the user to check its numbers.
    if (const std::string read = conventionNote(session_.file(f)->convention); !read.empty()) {
        message +=
            QStringLiteral(", ") + qs(read) + (note.isEmpty() ? QString() : QStringLiteral(","));
    }
    if (!note.isEmpty()) {
        message += QStringLiteral(" with ") + note;
    }
    // Fields read as 0 for want of a number are accepted, but never silently.
    if (const std::string warning = importWarning(f, *session_.file(f)); !warning.empty()) {
        message += QStringLiteral("; ") + qs(warning);
    }
    status_.show(message);
    if (f == 0) {
        window_.setWindowTitle(QStringLiteral("%1 - Quendrix 3.0").arg(name));
    }
    if (modelWasOn) {
        resetModelControls();
    }
    resetData(f);
    writeRangeBoxes();
    syncCaptions();
    commitRange();
    sync_.drawScatter(f);
    if (sync_.drawn(1) && sync_.drawn(2)) {
        startEnabled_ = true;
    }
    syncControls();
    focus_.apply(FocusEvent::Imported, focusState(f));
}

/// Clears file f's figure and everything that depends on the file.
void Workflow::resetData(int f) {
    if (f == 1 || !sync_.drawn(2)) {
        controls_.model.showFittingLine->setChecked(false);
    }
    sync_.clearScatter(f);
    sync_.clearStale();
    syncControls();
}

// ---- range -------------------------------------------------------------------------------

/// Writes the session's range texts into the boxes; they are committed, not typed.
void Workflow::writeRangeBoxes() {
    const QSignalBlocker lower(controls_.range.lower);
    const QSignalBlocker upper(controls_.range.upper);
    controls_.range.lower->setText(qs(session_.captions().lowerText));
    controls_.range.upper->setText(qs(session_.captions().upperText));
}

// Typing undoes every result after the scatter figures at once; the scatter figures and the
// axis labels keep the committed range until the new one is committed.
void Workflow::rangeTextChanged() {
    focus_.begin();
    const bool modelWasOn = session_.generatedModel();
    session_.setRangeTexts(latin1(controls_.range.lower->text()),
                           latin1(controls_.range.upper->text()));
    if (modelWasOn) {
        resetModelControls();
    }
    controls_.model.showFittingLine->setChecked(false);
    sync_.showFittingLine(false);
    sync_.clearStale();
    syncControls();
    status_.clear();
    focus_.apply(FocusEvent::SettingChanged, focusState());
}

void Workflow::rangeReturnPressed() {
    if (rangeEditFinished()) {
        focus_.begin();
        focus_.apply(FocusEvent::RangeCommitted, focusState());
    }
}

bool Workflow::rangeEditFinished() {
    // Read from the texts as typed: a refusal puts the last accepted ones back.
    const QString notes = rangeReadingNotes();
    if (Status st = session_.validateRange(); !st) {
        if (st.reason() == "Please set valid range.") {
            dialogs_.exclamation(&window_, QStringLiteral("Error"),
                                 QStringLiteral("Please set valid range."));
            // Equal bounds that were typed differently were made equal by the reading.
            if (!notes.isEmpty()) {
                status_.show(notes);
            }
        } else {
            status_.show(QStringLiteral("The range was not accepted: %1").arg(qs(st.reason())));
        }
        writeRangeBoxes();
        commitRange();
        syncControls();
        return false;
    }
    const bool changed = commitRange();
    if (!notes.isEmpty()) {
        status_.show(notes);
    } else if (changed) {
        status_.clear();
    }
    syncControls();
    return true;
}

/// How each range box's text is read when it is not a plain number, for the status line.
QString Workflow::rangeReadingNotes() const {
    QStringList notes;
    const std::pair<const char*, QLineEdit*> boxes[] = {{"From", controls_.range.lower},
                                                        {"To", controls_.range.upper}};
    for (const auto& [name, box] : boxes) {
        const std::string text = latin1(box->text());
        if (!text.empty()) {
            if (const std::string note = readingNote(name, text, rangeLabel(text)); !note.empty()) {
                notes << qs(note);
            }
        }
    }
    return notes.join(QStringLiteral("; "));
}

bool Workflow::commitRange() {
    const bool changed =
        sync_.commitRange(controls_.range.lower->text(), controls_.range.upper->text());
    // The box follows the figure: a redraw in a new range drops the line.
    if (!sync_.fittingLineShown()) {
        controls_.model.showFittingLine->setChecked(false);
    }
    return changed;
}

// ---- generated model ---------------------------------------------------------------------

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
    if (!coverageDialog_) {
        coverageDialog_ = new CoverageDialog(&window_);
    }
    coverageDialog_->showResult(*result);
}

CoverageDialog* Workflow::coverageDialog() const {
    return coverageDialog_.data();
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

void Workflow::skipClicked() {
    focus_.begin();
    const auto before = runner_.doneStages();
    session_.setSkip(controls_.thresholds.skip->isChecked());
    settingChanged(before);
}

void Workflow::smoothingChanged(int level) {
    focus_.begin();
    const auto before = runner_.doneStages();
    session_.setSmoothing(level);
    controls_.smoothing.value->setText(qs(session_.captions().smoothing));
    settingChanged(before);
}

void Workflow::verticalThresholdChanged(int samples) {
    focus_.begin();
    controls_.thresholds.verticalCaption->setText(thresholdCaption(samples));
    const auto before = runner_.doneStages();
    session_.setVerticalThreshold(samples);
    settingChanged(before);
}

void Workflow::horizontalThresholdChanged(int samples) {
    focus_.begin();
    controls_.thresholds.horizontalCaption->setText(thresholdCaption(samples));
    const auto before = runner_.doneStages();
    session_.setHorizontalThreshold(samples);
    settingChanged(before);
}

void Workflow::coefficientSliderChanged(int k, int tenths) {
    focus_.begin();
    const auto before = runner_.doneStages();
    session_.setCoefficientSlider(k, tenths);
    controls_.coefficients.values[size_t(k)]->setText(
        qs(session_.captions().coefficient[size_t(k)]));
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
    auto& dialog = coefficientDialogs_[size_t(k)];
    if (!dialog) {
        dialog = new CoefficientDialog(k, &window_);
        connect(dialog, &CoefficientDialog::committed, this,
                [this, k](const QString& typed) { coefficientTyped(k, typed); });
        connect(dialog, &CoefficientDialog::leftActive, this,
                [this] { activationFollowsDialog_ = true; });
    }
    if (dialog->isVisible()) {
        // Still open: what it holds is committed before it opens on the caption again.
        dialog->close();
    }
    dialog->open(controls_.coefficients.values[size_t(k)]->text());
}

void Workflow::openAboutBox() {
    if (!aboutBox_) {
        aboutBox_ = new AboutBox(&window_);
    }
    aboutBox_->show();
    aboutBox_->raise();
}

void Workflow::openPrintOptions() {
    printOptionsShown();
    printing_.showPrintOptions();
}

void Workflow::showColourSettings() {
    if (!colourSettings_) {
        colourSettings_ = new ColourSettingsWindow(session_.state(), &window_);
        // A change made while this window stays active (the wheel over the colour window)
        // cannot wait for an activation.
        connect(colourSettings_, &ColourSettingsWindow::coloursChanged, this, [this] {
            if (window_.isActiveWindow() && colours_.activated(session_.state())) {
                sync_.recolour();
            }
            emit coloursChanged();
        });
    }
    colourSettings_->present();
}

ColourSettingsWindow* Workflow::colourSettings() const {
    return colourSettings_;
}

void Workflow::activated() {
    if (colours_.activated(session_.state())) {
        sync_.recolour();
    }
    // Activation closes (and so commits) a dialog the user has been in and left for the main
    // window. Not one that has not been active yet, nor one opened while the activation that a
    // closing dialog hands back was still on its way: that would swallow the click opening it.
    const bool handedBack = std::exchange(activationFollowsDialog_, false);
    for (auto& dialog : coefficientDialogs_) {
        if (dialog && dialog->isVisible() && dialog->hasBeenActive() && !handedBack) {
            dialog->close();
        }
    }
}

void Workflow::shutDown() {
    if (aboutBox_) {
        aboutBox_->close();
    }
    for (auto& dialog : coefficientDialogs_) {
        if (dialog) {
            dialog->close();
        }
    }
    if (colourSettings_) {
        colourSettings_->close();
    }
    if (coverageDialog_) {
        coverageDialog_->close();
    }
    printing_.closeDialogs();
    chart_.close();
}

} // namespace quendrix
