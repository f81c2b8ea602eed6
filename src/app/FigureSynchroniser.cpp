#include "app/FigureSynchroniser.h"

#include "app/FigurePanel.h"
#include "base/NumberText.h"
#include "figures/PointerReading.h"
#include "figures/SessionFigures.h"
#include "figures/StageFigures.h"
#include "ui/BusyCursor.h"
#include "ui/FigureSurface.h"
#include "ui/Text.h"

#include <QWidget>

namespace quendrix {
namespace {

const QString NoToolTip = QStringLiteral("X: / Y: ");

using ui::qs;

/// The stage surface (Picture2 index) each stage draws.
int surfaceOf(Stage s) {
    return s == Stage::Confidence ? 5 : int(s);
}

} // namespace

FigureSynchroniser::FigureSynchroniser(CalibrationSession& session, FigurePanel& figures,
                                       QWidget& window)
    : session_(session), figures_(figures), window_(window) {
    for (int n = 1; n <= 8; ++n) {
        figures_.figure(n)->setToolTip(NoToolTip);
    }
}

bool FigureSynchroniser::drawn(int n) const {
    switch (n) {
    case 1:
    case 2:
        return scatterDrawn_[size_t(n - 1)];
    case 6:
        // Skipped, the horizontal normalisation has run but leaves its figure blank.
        return session_.stageDone(Stage::NormalizeH) && !session_.settings().skip;
    default:
        return session_.stageDone(Stage(n - 3));
    }
}

int FigureSynchroniser::firstUndrawnStage() const {
    for (int s = 0; s < StageCount; ++s) {
        if (!session_.stageDone(Stage(s))) {
            return surfaceOf(Stage(s)) + 3;
        }
    }
    return 0;
}

std::pair<double, double> FigureSynchroniser::rangeNumbers() const {
    return {leadingNumber(ui::latin1(lower_)), leadingNumber(ui::latin1(upper_))};
}

bool FigureSynchroniser::commitRange(const QString& lowerText, const QString& upperText) {
    // The axes show the numbers the grid is built from, not what was typed: "0,5" is 0.
    const QString lower = qs(rangeLabel(ui::latin1(lowerText)));
    const QString upper = qs(rangeLabel(ui::latin1(upperText)));
    if (lower == lower_ && upper == upper_) {
        return false;
    }
    lower_ = lower;
    upper_ = upper;
    figures_.setAxisTexts(lower, upper);
    for (int f = 0; f < 2; ++f) {
        if (drawn(f + 1)) {
            drawScatter(f);
        }
    }
    return true;
}

void FigureSynchroniser::drawScatter(int f) {
    const std::optional<DataFile>& file = session_.file(f);
    if (!file) {
        return;
    }
    const auto [lo, hi] = rangeNumbers();
    ui::FigureSurface* surface = figures_.picture1(f);
    drawSessionScatter(surface->scene(), session_, f, lo, hi);
    surface->refresh();
    scatterDrawn_[size_t(f)] = true;
    scatterGrey_[size_t(f)] = greyScale();
    if (f == 1) {
        lineShown_ = false;
    }
}

void FigureSynchroniser::clearScatter(int f) {
    ui::FigureSurface* surface = figures_.picture1(f);
    surface->fillAll(Qt::white);
    surface->refresh();
    scatterDrawn_[size_t(f)] = false;
    if (f == 1) {
        lineShown_ = false;
    }
}

void FigureSynchroniser::showFittingLine(bool on) {
    if (!drawn(2)) {
        return;
    }
    if (!on) {
        if (lineShown_) {
            drawScatter(1);
        }
        return;
    }
    const auto [lo, hi] = rangeNumbers();
    if (!lineShown_ && drawSessionFittingLine(figures_.picture1(1)->scene(), session_, lo, hi)) {
        figures_.picture1(1)->refresh();
        lineShown_ = true;
    }
}

void FigureSynchroniser::drawStage(Stage s) {
    const int k = surfaceOf(s);
    ui::FigureSurface* surface = figures_.picture2(k);
    drawSessionStage(surface->scene(), session_, k);
    if (s == Stage::Confidence) {
        regionsGrey_ = greyScale();
        drawOverlays();
        maskProbability();
    }
    surface->refresh();
    shown_[size_t(k + 2)] = drawn(k + 3);
}

bool FigureSynchroniser::greyScale() const {
    return session_.state().colour.greyScale;
}

// The mask paints every plot cell, over Fig.7's plain drawing, its last masked one or a
// cleared (white) figure alike.
void FigureSynchroniser::maskProbability() {
    drawMaskedProbability(figures_.picture2(4)->scene(), session_.matrix(),
                          session_.state().colour);
    figures_.picture2(4)->refresh();
    shown_[6] = true;
}

void FigureSynchroniser::drawOverlays() {
    if (!drawn(8)) {
        return;
    }
    ui::FigureSurface* surface = figures_.picture2(5);
    drawSessionOverlays(surface->scene(), session_, overlayMode_, overlayAverage_);
    surface->refresh();
}

void FigureSynchroniser::setOverlays(bool mode, bool average) {
    overlayMode_ = mode;
    overlayAverage_ = average;
    if (drawn(8)) {
        // Back to the region picture, then whichever overlays remain selected.
        figures_.picture2(5)->clear();
        drawOverlays();
        figures_.picture2(5)->refresh();
    }
}

// Plain clears for Fig.3 .. Fig.7; Fig.8 is blanked in the window's colour, since a plain clear
// would bring its region picture back.
void FigureSynchroniser::clearStale() {
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
            surface->refresh();
            shown_[size_t(n - 1)] = false;
        }
    }
}

// Grey scale also recolours the scatter points, the fitting line, the regions and the
// overlays; any other colour setting only the ramp-coloured figures, so the rest keep their
// drawing.
void FigureSynchroniser::recolour() {
    ui::BusyCursor busy;
    const bool grey = greyScale();
    for (int f = 0; f < 2; ++f) {
        if (drawn(f + 1) && scatterGrey_[size_t(f)] != grey) {
            const bool line = f == 1 && lineShown_;
            drawScatter(f);
            if (line) {
                showFittingLine(true);
            }
        }
    }
    for (int s = 0; s < StageCount; ++s) {
        // Where the regions are drawn, their stage draws Fig.7 masked.
        if (!drawn(surfaceOf(Stage(s)) + 3) || (Stage(s) == Stage::NormalizeV && drawn(8))) {
            continue;
        }
        if (Stage(s) != Stage::Confidence || regionsGrey_ != grey) {
            drawStage(Stage(s)); // the regions' stage also masks Fig.7
        } else {
            maskProbability();
        }
    }
}

void FigureSynchroniser::stageHovered(int k) {
    if (!drawn(k + 3)) {
        return;
    }
    const Captions& cap = session_.captions();
    figures_.picture2(k)->setToolTip(
        QStringLiteral("X: %1 / Y: %2").arg(qs(cap.xName[1]), qs(cap.yName[1])));
    // Flat under the pointer: a click on Fig.7 or Fig.8 opens the calibration chart.
    if (k >= 4) {
        figures_.picture2(k)->setFlat(true);
    }
}

void FigureSynchroniser::scatterHovered(int f) {
    const Captions& cap = session_.captions();
    if (f == 1 && session_.generatedModel()) {
        figures_.picture1(f)->setToolTip(NoToolTip);
        return;
    }
    figures_.picture1(f)->setToolTip(
        QStringLiteral("X: %1 / Y: %2").arg(qs(cap.xName[size_t(f)]), qs(cap.yName[size_t(f)])));
}

QString FigureSynchroniser::readingAt(int n, const QRectF& area, const QPointF& at) const {
    if (!drawn(n)) {
        return {};
    }
    const auto [lo, hi] = rangeNumbers();
    return qs(n <= 2 ? scatterReading(session_, n - 1, lo, hi, area, at)
                     : stageReading(session_, StageFigure(n - 3), lo, hi, area, at));
}

} // namespace quendrix
