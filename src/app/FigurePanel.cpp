#include "app/FigurePanel.h"

#include "app/FigureBox.h"
#include "app/PointerReadout.h"
#include "figures/FigureGrid.h"
#include "ui/FigureSurface.h"

namespace quendrix {

FigurePanel::FigurePanel(QWidget* parent) : QWidget(parent) {
    for (int n = 1; n <= 8; ++n) {
        boxes_[size_t(n - 1)] = new FigureBox(n, this);
    }
    // Small enough for a short window; two columns of four are the most compact block.
    const QSize box = boxes_[0]->frame(Spacing).boxSize(MinimumSide);
    setMinimumSize(2 * box.width() + Spacing, 4 * box.height() + 3 * Spacing);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ui::FigureSurface* FigurePanel::figure(int n) const {
    return boxes_[size_t(n - 1)]->surface();
}

ui::FigureSurface* FigurePanel::picture1(int f) const {
    return figure(f + 1);
}

ui::FigureSurface* FigurePanel::picture2(int k) const {
    return figure(k + 3);
}

void FigurePanel::resizeEvent(QResizeEvent*) {
    const FigureGrid grid(size(), int(boxes_.size()), boxes_[0]->frame(Spacing));
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setGeometry(grid.box(int(i)));
    }
}

void FigurePanel::setAxisTexts(const QString& lower, const QString& upper) {
    for (FigureBox* box : boxes_) {
        box->setAxisTexts(lower, upper);
    }
}

void FigurePanel::showPointerReadings(QStatusBar& bar, const Reading& read) {
    auto* readout = new PointerReadout(bar);
    for (int n = 1; n <= 8; ++n) {
        readout->follow(figure(n), [read, n](const QRectF& area, const QPointF& at) {
            return read(n, area, at);
        });
    }
}

} // namespace quendrix
