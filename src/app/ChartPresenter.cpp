#include "app/ChartPresenter.h"

#include "app/IntervalMarks.h"
#include "app/IntervalPanel.h"
#include "base/NumberText.h"
#include "figures/PointerReading.h"
#include "session/CalibrationSession.h"
#include "ui/DialogService.h"
#include "ui/FigureSurface.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

namespace quendrix {
namespace {

using ui::qs;

double value(const QLabel* label) {
    return leadingNumber(ui::latin1(label->text()));
}

} // namespace

ChartPresenter::ChartPresenter(CalibrationSession& session, ChartControls& controls,
                               ui::DialogService& dialogs, QWidget& window)
    : session_(session), c_(controls), dialogs_(dialogs), window_(window) {}

ChartMode ChartPresenter::mode() const {
    return c_.option1[0]->isChecked() ? ChartMode::Probability : ChartMode::Confidence;
}

int ChartPresenter::section() const {
    return c_.slider1->value();
}

int ChartPresenter::enhancement() const {
    return c_.slider2->value();
}

bool ChartPresenter::greyScale() const {
    return session_.state().colour.greyScale;
}

void ChartPresenter::applyView(ChartMode mode) {
    const bool probability = mode == ChartMode::Probability;
    const QSignalBlocker blocks[] = {QSignalBlocker(c_.option1[0]), QSignalBlocker(c_.option1[1]),
                                     QSignalBlocker(c_.check4), QSignalBlocker(c_.check1)};
    c_.option1[probability ? 0 : 1]->setChecked(true);
    // The probability view shows the colours alone, the confidence view its curves.
    c_.check4->setChecked(!probability);
    c_.check1->setChecked(!probability);
}

void ChartPresenter::open(ChartMode mode) {
    applyView(mode);
    {
        const QSignalBlocker blocks[] = {QSignalBlocker(c_.slider1), QSignalBlocker(c_.slider2)};
        c_.slider1->setValue(50);
        c_.slider2->setValue(enhancementPercent(session_.state().colour));
    }
    const Captions& cap = session_.captions();
    for (QLabel* label : {c_.label1[0], c_.label1[1]}) {
        label->setText(qs(rangeLabel(cap.lowerText)));
    }
    for (QLabel* label : {c_.label2[0], c_.label2[1]}) {
        label->setText(qs(rangeLabel(cap.upperText)));
    }
    c_.intervalPanel->setWidestValue(qs(formatReading(leadingNumber(cap.lowerText))),
                                     qs(formatReading(leadingNumber(cap.upperText))));
    writeEnhancementCaption();
    drawAll();
    colours_.drawn(session_.state());
}

void ChartPresenter::reopen(ChartMode mode) {
    applyView(mode);
    drawAll();
}

void ChartPresenter::drawAll() {
    writeSectionCaptions();
    drawMainFigure();
    drawSection();
    redrawOverlays();
    showIntervals();
}

// ---- drawing -----------------------------------------------------------------------------

void ChartPresenter::drawMainFigure() {
    const bool probability = mode() == ChartMode::Probability;
    drawChartFigure(c_.picture1->scene(), session_.detail(), mode(), enhancement(),
                    session_.state().colour);
    c_.picture1->refresh();
    // The colour chart belongs to the probability mode.
    c_.picture3->setVisible(probability);
    if (probability) {
        drawColourChart();
    }
}

void ChartPresenter::drawSection() {
    quendrix::drawSection(c_.picture2->scene(), session_.detail(), sectionColumn(section()),
                          enhancement(), greyScale());
    c_.picture2->refresh();
}

void ChartPresenter::drawColourChart() {
    const float limit =
        colourChartLimit(session_.detail(), sectionColumn(section()), enhancement());
    quendrix::drawColourChart(c_.picture3->scene(), session_.state().colour.points, limit);
    c_.picture3->refresh();
}

void ChartPresenter::redrawOverlays() {
    ui::FigureSurface& p = *c_.picture1;
    p.clear();
    drawChartCurves(p.scene(), session_.detail(), c_.check4->isChecked(), c_.check1->isChecked(),
                    greyScale());
    drawSectionMarker(p.scene(), section(), greyScale());
    p.refresh();
}

void ChartPresenter::showIntervals() {
    if (const auto readout = session_.readout(section())) {
        showReadout(readout.value());
    } else {
        wipeIntervals();
    }
}

void ChartPresenter::showReadout(const IntervalReadout& readout) {
    c_.intervalPanel->showReadout(readout);
    c_.intervalMarks->showReadout(readout);
}

void ChartPresenter::wipeIntervals() {
    c_.intervalPanel->wipe();
    c_.intervalMarks->wipe();
}

// The axis range as the labels show it.
std::pair<double, double> ChartPresenter::rangeNumbers() const {
    return {value(c_.label1[1]), value(c_.label2[1])};
}

void ChartPresenter::writeSectionCaptions() {
    // The X value of the section in the data's units, read off the axis labels.
    const auto [lo, hi] = rangeNumbers();
    const QString x = qs(shortestText(lo + (hi - lo) * (section() / 100.0)));
    c_.label3->setText(x);
    c_.label5->setText(x);
    if (labelsMoved_) {
        labelsMoved_();
    }
}

void ChartPresenter::writeEnhancementCaption() {
    c_.label4->setText(QStringLiteral("%1 %").arg(enhancement()));
    if (labelsMoved_) {
        labelsMoved_();
    }
}

// ---- events ------------------------------------------------------------------------------

void ChartPresenter::modeChosen() {
    drawMainFigure();
    showIntervals();
    redrawOverlays();
}

void ChartPresenter::curvesToggled() {
    redrawOverlays();
}

void ChartPresenter::sectionMoved() {
    // The labels follow every change, by mouse, keyboard or wheel alike.
    writeSectionCaptions();
    const auto readout = session_.readout(section());
    if (!readout) {
        // The data behind the window are gone: back to the left edge with the figure alone.
        dialogs_.exclamation(&window_, QStringLiteral("Error"),
                             QStringLiteral("Interpolation failed"));
        {
            const QSignalBlocker block(c_.slider1);
            c_.slider1->setValue(0);
        }
        writeSectionCaptions();
        wipeIntervals();
        drawMainFigure();
        return;
    }
    drawSection();
    showReadout(readout.value());
    redrawOverlays();
    drawColourChart();
}

// Every move is a colour change for the other windows; this one draws it at once.
void ChartPresenter::enhancementMoved() {
    setEnhancement(session_.state(), enhancement());
    writeEnhancementCaption();
    drawSection();
    // In the probability mode this redraws the colour chart too, so that its white part
    // matches the section.
    drawMainFigure();
    redrawOverlays();
    colours_.drawn(session_.state());
}

void ChartPresenter::activated() {
    // The colours changed: everything but the read-out, which they leave.
    if (colours_.activated(session_.state())) {
        drawMainFigure();
        drawSection();
        redrawOverlays();
    }
}

void ChartPresenter::sectionPointed(const QRectF& area, const QPointF& at) {
    // The slider's own change runs the move, as a drag of its thumb would.
    if (const auto percent = chartSectionAt(area, at)) {
        c_.slider1->setValue(*percent);
    }
}

QString ChartPresenter::pointerReading(const QRectF& area, const QPointF& at) const {
    const auto [lo, hi] = rangeNumbers();
    return qs(
        chartReading(session_.detail(), mode(), session_.captions().coefficient, lo, hi, area, at));
}

} // namespace quendrix
