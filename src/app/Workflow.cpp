#include "app/Workflow.h"

#include "app/AboutBox.h"
#include "app/CoefficientDialog.h"
#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "base/NumberText.h"
#include "figures/ScatterFigure.h"
#include "figures/StageFigures.h"
#include "ui/BusyCursor.h"
#include "ui/DialogService.h"
#include "ui/FigureSurface.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

namespace quendrix {
namespace {

QString qs(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

const QString DataFileFilter = QStringLiteral("DataFile(*.csv)");
const QString NoToolTip = QStringLiteral("X: / Y: ");

/// The stage surface (Picture2 index) each stage draws.
int surfaceOf(Stage s) {
    return s == Stage::Confidence ? 5 : int(s);
}

} // namespace

Workflow::Workflow(CalibrationSession& session, ControlPanel& controls, FigurePanel& figures,
                   ui::DialogService& dialogs, QStatusBar& status, QWidget& window)
    : session_(session), controls_(controls), figures_(figures), dialogs_(dialogs), status_(status),
      window_(window) {}

Workflow::~Workflow() = default;

void Workflow::formLoad() {
    ControlPanel& c = controls_;
    c.text1->clear();
    c.text2->clear();
    for (int k = 0; k < 2; ++k) {
        c.coefficientSliders[size_t(k)]->setValue(k == 0 ? session_.settings().coefficients.first
                                                         : session_.settings().coefficients.second);
    }
    c.slider3->setValue(session_.settings().smoothing);
    c.slider4->setValue(session_.settings().modelPercent);
    c.slider5->setValue(session_.settings().verticalThreshold);
    c.slider6->setValue(session_.settings().horizontalThreshold);
    c.label23->setText(QStringLiteral("Threshold: %1 sample(s)").arg(c.slider5->value()));
    c.label24->setText(QStringLiteral("Threshold: %1 sample(s)").arg(c.slider6->value()));
    c.slider4->hide();
    c.label22->setText(QStringLiteral("Std.Dev.:"));
    c.label22->hide();
    c.progressBar1->setRange(0, 250);
    c.progressBar1->setValue(0);
    c.progressBar1->hide();
    c.check1->setChecked(false);
    c.check2->setChecked(true);
    c.check6->setChecked(true);
    c.check4->setChecked(false);
    c.check5->setChecked(false);
    for (int n = 1; n <= 8; ++n) {
        figures_.figure(n)->setToolTip(NoToolTip);
    }
    syncCaptions();
    // Setting the model slider above enabled "Start"; at start-up it waits for the data.
    startEnabled_ = false;
    syncControls();
}

bool Workflow::drawn(int n) const {
    switch (n) {
    case 1:
    case 2:
        return scatterDrawn_[size_t(n - 1)];
    case 6:
        return session_.stageDone(Stage::NormalizeH) && !normHSkipped_;
    default:
        return session_.stageDone(Stage(n - 3));
    }
}

std::array<bool, StageCount> Workflow::doneStages() const {
    std::array<bool, StageCount> done{};
    for (int s = 0; s < StageCount; ++s) {
        done[size_t(s)] = session_.stageDone(Stage(s));
    }
    return done;
}

// ---- captions and enabling ---------------------------------------------------------------

void Workflow::syncCaptions() {
    const Captions& cap = session_.captions();
    ControlPanel& c = controls_;
    for (int f = 0; f < 2; ++f) {
        const auto i = size_t(f);
        c.label12[i]->setText(qs(cap.count[i]));
        c.label13[i]->setText(qs(cap.correlation[i]));
        c.label14[i]->setText(qs(cap.xName[i]));
        c.label15[i]->setText(qs(cap.yName[i]));
        c.label21[i]->setText(qs(cap.path[i]));
        c.label4[i]->setText(qs(cap.coefficient[i]));
    }
    c.label17->setText(qs(cap.fittingLine));
    c.label19->setText(qs(cap.stdDev));
    c.label7->setText(qs(cap.smoothing));
}

void Workflow::syncControls() {
    ControlPanel& c = controls_;
    const bool model = session_.generatedModel();
    const bool rangeSet = !c.text1->text().isEmpty() && !c.text2->text().isEmpty();
    for (int f = 0; f < 2; ++f) {
        figures_.picture1(f)->setEnabled(drawn(f + 1));
    }
    // A stage figure can be clicked once it is drawn or once the stage before it is.
    figures_.picture2(0)->setEnabled(drawn(3) || (drawn(1) && (drawn(2) || model) && rangeSet));
    figures_.picture2(1)->setEnabled(drawn(4) || (drawn(3) && drawn(1)));
    figures_.picture2(2)->setEnabled(drawn(5) || drawn(4));
    figures_.picture2(3)->setEnabled(drawn(6) || drawn(5));
    figures_.picture2(4)->setEnabled(drawn(7));
    figures_.picture2(5)->setEnabled(drawn(8) || drawn(7));
    c.check2->setEnabled(drawn(8));
    c.check6->setEnabled(drawn(8));
    c.check1->setEnabled(drawn(2) && !model);
    c.check4->setEnabled(drawn(1));
    c.command1[1]->setEnabled(!model);
    c.command3->setEnabled(startEnabled_);
}

/// Clears every figure that shows a drawing its data no longer back: plain clears for Fig.3 ..
/// Fig.7, and Fig.8 blanked in the window's colour (a plain clear would bring the regions back).
void Workflow::syncFigures() {
    for (int n = 3; n <= 8; ++n) {
        if (shown_[size_t(n - 1)] && !drawn(n)) {
            ui::FigureSurface* surface = figures_.figure(n);
            if (n == 8) {
                surface->fillAll(window_.palette().color(QPalette::Window));
                surface->makePersistent();
            } else {
                surface->clear();
            }
            surface->setToolTip(NoToolTip);
            surface->setFlat(false);
            surface->refresh();
            shown_[size_t(n - 1)] = false;
        }
    }
}

void Workflow::refuse(const QString& reason) {
    status_.showMessage(reason);
}

// ---- import ------------------------------------------------------------------------------

void Workflow::readDataFile(int f) {
    const QString path = dialogs_.openFileName(&window_, DataFileFilter);
    if (path.isEmpty()) {
        controls_.command1[size_t(f)]->setFocus();
        return;
    }
    const bool modelWasOn = session_.generatedModel();
    Status st = session_.importFile(f, path.toStdString(), latin1(path));
    if (!st) {
        refuse(QStringLiteral("File %1 was not imported: %2").arg(f + 1).arg(qs(st.reason())));
        controls_.command1[size_t(f)]->setFocus();
        return;
    }
    status_.showMessage(QStringLiteral("Imported %1").arg(path), 5000);
    if (modelWasOn) {
        resetModelControls();
    }
    resetData(f);
    setRangeBoxes();
    syncCaptions();
    drawScatter(f);

    ControlPanel& c = controls_;
    const int n1 = int(leadingNumber(session_.captions().count[0]));
    const int n2 = int(leadingNumber(session_.captions().count[1]));
    if (f == 1) {
        if (n2 <= 1) {
            c.command1[1]->setFocus();
        } else if (!c.text1->text().isEmpty() && !c.text2->text().isEmpty()) {
            figures_.picture2(0)->setFocus();
        }
    } else {
        if (n1 <= 1) {
            c.command1[0]->setFocus();
        }
        if (drawn(3) && drawn(2)) {
            figures_.picture2(1)->setFocus();
        } else if (drawn(2)) {
            figures_.picture2(0)->setFocus();
        } else if (n2 <= 1) {
            c.command1[1]->setFocus();
        }
    }
    if (drawn(1) && drawn(2)) {
        startEnabled_ = true;
    }
    syncControls();
    if (startEnabled_) {
        c.command3->setFocus();
    }
}

/// Clears file f's figure and everything that depends on the file.
void Workflow::resetData(int f) {
    ControlPanel& c = controls_;
    if (f == 0) {
        if (!drawn(2)) {
            c.check1->setChecked(false);
        }
        figures_.picture1(0)->fillAll(Qt::white);
        figures_.picture1(0)->refresh();
        scatterDrawn_[0] = false;
        c.slider4->hide();
        c.label22->setText(QStringLiteral("Std.Dev.:"));
        c.label22->hide();
    } else {
        c.check1->setChecked(false);
        figures_.picture1(1)->fillAll(Qt::white);
        figures_.picture1(1)->refresh();
        scatterDrawn_[1] = false;
    }
    syncFigures();
    syncControls();
}

void Workflow::drawScatter(int f) {
    const std::optional<DataFile>& file = session_.file(f);
    if (!file) {
        return;
    }
    const auto [lo, hi] = rangeNumbers();
    ui::FigureSurface* surface = figures_.picture1(f);
    quendrix::drawScatter(*surface, *file, lo, hi, ScatterStyle{session_.state().colour.greyScale});
    surface->refresh();
    scatterDrawn_[size_t(f)] = true;
    surface->setEnabled(true);
}

// ---- range -------------------------------------------------------------------------------

/// Writes the session's range texts into the boxes (each a text change, as typing is).
void Workflow::setRangeBoxes() {
    // Read both first: setting the lower box already runs the text change with the old upper.
    const QString lower = qs(session_.captions().lowerText);
    const QString upper = qs(session_.captions().upperText);
    controls_.text1->setText(lower);
    controls_.text2->setText(upper);
    figures_.setAxisTexts(controls_.text1->text(), controls_.text2->text());
}

void Workflow::rangeTextChanged() {
    const bool modelWasOn = session_.generatedModel();
    session_.setRangeTexts(latin1(controls_.text1->text()), latin1(controls_.text2->text()));
    figures_.setAxisTexts(controls_.text1->text(), controls_.text2->text());
    if (modelWasOn) {
        resetModelControls();
    }
    // Typing redraws the scatter figures at once; equal bounds have no scale, so the figures
    // wait for the next valid pair (leaving the box checks the range).
    const auto [lo, hi] = rangeNumbers();
    if (lo != hi) {
        for (int f = 0; f < 2; ++f) {
            if (drawn(f + 1)) {
                drawScatter(f);
            }
        }
    }
    controls_.check1->setChecked(false);
    syncFigures();
    syncControls();
}

void Workflow::rangeEditFinished() {
    Status st = session_.validateRange();
    if (!st) {
        if (st.reason() == "Please set valid range.") {
            dialogs_.exclamation(&window_, QStringLiteral("Error"),
                                 QStringLiteral("Please set valid range."));
        } else {
            refuse(QStringLiteral("The range was not accepted: %1").arg(qs(st.reason())));
        }
        setRangeBoxes();
    }
    figures_.setAxisTexts(controls_.text1->text(), controls_.text2->text());
    syncControls();
}

// ---- generated model ---------------------------------------------------------------------

void Workflow::generateModelClicked() {
    ControlPanel& c = controls_;
    if (c.check4->isChecked()) {
        Status st = session_.setGeneratedModel(true);
        if (!st) {
            const QSignalBlocker block(c.check4);
            c.check4->setChecked(false);
            refuse(QStringLiteral("The error model was not generated: %1").arg(qs(st.reason())));
            return;
        }
        c.placeStartButton(true);
        c.check1->setChecked(false);
        c.slider4->show();
        c.label22->setText(QStringLiteral("Std.Dev.: %1 % of range").arg(c.slider4->value()));
        c.label22->show();
        figures_.picture1(1)->fillAll(Qt::white);
        figures_.picture1(1)->refresh();
        scatterDrawn_[1] = false;
        syncFigures();
        syncCaptions();
        drawStage(Stage::GaussianModel);
        if (drawn(1)) {
            figures_.picture2(1)->setEnabled(true);
            figures_.picture2(1)->setFocus();
        } else {
            c.command1[0]->setFocus();
        }
    } else {
        // Switching the model off is never refused.
        (void)session_.setGeneratedModel(false);
        resetModelControls();
        if (leadingNumber(session_.captions().count[1]) >= 1) {
            drawScatter(1);
        }
    }
    startEnabled_ = true;
    syncControls();
    c.command3->setFocus();
}

/// The controls of the generated model back to file 2 (`ResetModel`).
void Workflow::resetModelControls() {
    ControlPanel& c = controls_;
    {
        const QSignalBlocker block(c.check4);
        c.check4->setChecked(false);
    }
    c.placeStartButton(false);
    c.slider4->hide();
    c.label22->setText(QStringLiteral("Std.Dev.: "));
    c.label22->hide();
    syncFigures();
    syncCaptions();
    syncControls();
}

void Workflow::modelSliderChanged(int percent) {
    ControlPanel& c = controls_;
    Status st = session_.setModelPercent(percent);
    if (session_.generatedModel()) {
        c.label22->setText(QStringLiteral("Std.Dev.: %1 % of range").arg(percent));
    }
    syncFigures();
    syncCaptions();
    if (!st) {
        refuse(QStringLiteral("The error model was not generated: %1").arg(qs(st.reason())));
    } else if (session_.generatedModel() && session_.stageDone(Stage::GaussianModel)) {
        drawStage(Stage::GaussianModel);
    }
    startEnabled_ = true;
    syncControls();
}

// ---- pipeline ----------------------------------------------------------------------------

std::pair<double, double> Workflow::rangeNumbers() const {
    return {leadingNumber(latin1(controls_.text1->text())),
            leadingNumber(latin1(controls_.text2->text()))};
}

float Workflow::factorFor(int k) const {
    return figureFactor(StageFigure(k), session_.rangeWidth(), session_.settings().smoothing);
}

void Workflow::drawStage(Stage s) {
    const int k = surfaceOf(s);
    ui::FigureSurface* surface = figures_.picture2(k);
    const ColourRamp& ramp = session_.state().colour;
    const StageMatrix& m = session_.matrix();
    if (s == Stage::Confidence) {
        drawConfidenceRegions(*surface, m, ramp.greyScale);
        drawOverlays();
        drawMaskedProbability(*figures_.picture2(4), m, ramp);
        figures_.picture2(4)->refresh();
    } else if (s == Stage::NormalizeH && session_.settings().skip) {
        surface->clear();
    } else {
        drawStageFigure(*surface, m, StageFigure(k), factorFor(k), ramp);
    }
    surface->refresh();
    shown_[size_t(k + 2)] = !(s == Stage::NormalizeH && session_.settings().skip);
}

void Workflow::drawOverlays() {
    ui::FigureSurface* surface = figures_.picture2(5);
    if (!drawn(8)) {
        return;
    }
    const bool grey = session_.state().colour.greyScale;
    if (controls_.check6->isChecked()) {
        drawAverageOverlay(*surface, session_.columns(), grey);
    }
    if (controls_.check2->isChecked()) {
        drawModeOverlay(*surface, session_.columns(), session_.matrix(), grey);
    }
    surface->refresh();
}

void Workflow::runFrom(Stage first) {
    ui::BusyCursor busy;
    QProgressBar* progress = controls_.progressBar1;
    progress->setRange(0, StageCount);
    progress->show();
    for (int s = int(first); s < StageCount; ++s) {
        const Stage stage = Stage(s);
        progress->setValue(s);
        figures_.picture2(surfaceOf(stage))->setEnabled(false);
        Status st = session_.runStage(stage);
        if (!st) {
            refuse(qs(st.reason()));
            break;
        }
        if (stage == Stage::NormalizeH) {
            normHSkipped_ = session_.settings().skip;
        }
        drawStage(stage);
        switch (stage) {
        case Stage::GaussianModel:
            (drawn(1) ? static_cast<QWidget*>(figures_.picture2(1)) : controls_.command1[0])
                ->setFocus();
            break;
        case Stage::DescreteModel:
            figures_.picture2(2)->setFocus();
            break;
        case Stage::Smoothing:
            if (drawn(4)) {
                figures_.picture2(3)->setFocus();
            }
            break;
        case Stage::NormalizeH:
            break;
        case Stage::NormalizeV:
            figures_.picture2(5)->setFocus();
            break;
        case Stage::Confidence:
            controls_.command1[0]->setFocus();
            break;
        }
        syncControls();
    }
    progress->setValue(0);
    progress->hide();
    syncFigures();
    syncControls();
}

void Workflow::start() {
    startEnabled_ = false;
    controls_.command3->setEnabled(false);
    if (!drawn(3)) {
        runFrom(Stage::GaussianModel);
    } else if (session_.generatedModel()) {
        runFrom(Stage::DescreteModel);
    }
    syncControls();
}

void Workflow::figureClicked(int k) {
    // Fig.7 and Fig.8 open the calibration chart when drawn; there is no stage that starts at
    // Fig.7.
    if (k == 0 && !drawn(3)) {
        runFrom(Stage::GaussianModel);
    } else if (k == 1 && !drawn(4)) {
        runFrom(Stage::DescreteModel);
    } else if (k == 2 && !drawn(5)) {
        runFrom(Stage::Smoothing);
    } else if (k == 3 && !drawn(6)) {
        runFrom(Stage::NormalizeH);
    } else if (k == 5 && !drawn(8)) {
        runFrom(Stage::Confidence);
    }
}

void Workflow::afterSettingChange(const std::array<bool, StageCount>& before) {
    syncFigures();
    for (int s = 0; s < StageCount; ++s) {
        if (before[size_t(s)] && !session_.stageDone(Stage(s))) {
            runFrom(Stage(s));
            break;
        }
    }
    syncControls();
}

void Workflow::skipClicked() {
    const auto before = doneStages();
    session_.setSkip(controls_.check5->isChecked());
    afterSettingChange(before);
}

void Workflow::smoothingChanged(int level) {
    const auto before = doneStages();
    session_.setSmoothing(level);
    controls_.label7->setText(qs(session_.captions().smoothing));
    afterSettingChange(before);
}

void Workflow::verticalThresholdChanged(int samples) {
    controls_.label23->setText(QStringLiteral("Threshold: %1 sample(s)").arg(samples));
    const auto before = doneStages();
    session_.setVerticalThreshold(samples);
    afterSettingChange(before);
    findFocus();
}

void Workflow::horizontalThresholdChanged(int samples) {
    controls_.label24->setText(QStringLiteral("Threshold: %1 sample(s)").arg(samples));
    const auto before = doneStages();
    session_.setHorizontalThreshold(samples);
    afterSettingChange(before);
    findFocus();
}

void Workflow::coefficientSliderChanged(int k, int tenths) {
    const auto before = doneStages();
    session_.setCoefficientSlider(k, tenths);
    controls_.label4[size_t(k)]->setText(qs(session_.captions().coefficient[size_t(k)]));
    afterSettingChange(before);
}

void Workflow::coefficientTyped(int k, const QString& typed) {
    const auto before = doneStages();
    session_.setCoefficientText(k, latin1(typed));
    controls_.label4[size_t(k)]->setText(qs(session_.captions().coefficient[size_t(k)]));
    {
        const auto& coefficients = session_.settings().coefficients;
        const QSignalBlocker block(controls_.coefficientSliders[size_t(k)]);
        controls_.coefficientSliders[size_t(k)]->setValue(k == 0 ? coefficients.first
                                                                 : coefficients.second);
    }
    afterSettingChange(before);
}

void Workflow::overlayClicked() {
    // Back to the region picture, then whichever overlays remain selected.
    figures_.picture2(5)->clear();
    drawOverlays();
    figures_.picture2(5)->refresh();
}

void Workflow::showFittingLineClicked() {
    if (controls_.check1->isChecked()) {
        const auto [lo, hi] = rangeNumbers();
        const FileStatistics& stats = session_.statistics(1);
        drawFittingLine(*figures_.picture1(1), stats.slope, stats.intercept, lo, hi,
                        session_.rangeWidth(), ScatterStyle{session_.state().colour.greyScale});
        figures_.picture1(1)->refresh();
        if (figures_.picture2(0)->isEnabled()) {
            figures_.picture2(0)->setFocus();
        }
    } else if (drawn(2)) {
        drawScatter(1);
        if (!drawn(3)) {
            figures_.picture2(0)->setFocus();
        }
    }
}

// ---- pointer and focus -------------------------------------------------------------------

void Workflow::figureHovered(int k) {
    if (!drawn(k + 3)) {
        return;
    }
    const Captions& cap = session_.captions();
    figures_.picture2(k)->setToolTip(
        QStringLiteral("X: %1 / Y: %2").arg(qs(cap.xName[1]), qs(cap.yName[1])));
    if (k >= 4) {
        figures_.picture2(k)->setFlat(true);
    }
}

void Workflow::scatterHovered(int f) {
    const Captions& cap = session_.captions();
    if (f == 1 && session_.generatedModel()) {
        figures_.picture1(f)->setToolTip(NoToolTip);
        return;
    }
    figures_.picture1(f)->setToolTip(
        QStringLiteral("X: %1 / Y: %2").arg(qs(cap.xName[size_t(f)]), qs(cap.yName[size_t(f)])));
}

void Workflow::backgroundHovered() {
    for (int k = 4; k <= 5; ++k) {
        if (figures_.picture2(k)->isFlat()) {
            figures_.picture2(k)->setFlat(false);
        }
    }
}

void Workflow::findFocus() {
    if (!drawn(1)) {
        controls_.command1[0]->setEnabled(true);
        controls_.command1[0]->setFocus();
    }
}

// ---- dialogs, activation, colours, shut-down ----------------------------------------------

void Workflow::openCoefficientDialog(int k) {
    auto& dialog = coefficientDialogs_[size_t(k)];
    if (!dialog) {
        dialog = new CoefficientDialog(k, &window_);
        connect(dialog, &CoefficientDialog::committed, this,
                [this, k](const QString& typed) { coefficientTyped(k, typed); });
    }
    dialog->open(controls_.label4[size_t(k)]->text());
}

void Workflow::openAboutBox() {
    if (!aboutBox_) {
        aboutBox_ = new AboutBox(&window_);
    }
    aboutBox_->show();
    aboutBox_->raise();
}

void Workflow::activated() {
    SessionState& state = session_.state();
    if (state.colourChanged) {
        resetColour();
        state.colourChanged = false;
    }
    for (auto& dialog : coefficientDialogs_) {
        if (dialog && dialog->isVisible()) {
            dialog->close();
        }
    }
}

/// Redraws the drawn stage figures with the current colours.
void Workflow::resetColour() {
    ui::BusyCursor busy;
    for (int s = 0; s < int(Stage::Confidence); ++s) {
        if (drawn(s + 3)) {
            drawStage(Stage(s));
        }
    }
    if (drawn(8)) {
        drawMaskedProbability(*figures_.picture2(4), session_.matrix(), session_.state().colour);
        figures_.picture2(4)->refresh();
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
}

} // namespace quendrix
