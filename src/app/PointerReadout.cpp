#include "app/PointerReadout.h"

#include "ui/ElidedLabel.h"
#include "ui/FigureSurface.h"

#include <QStatusBar>

namespace quendrix {

PointerReadout::PointerReadout(QStatusBar& bar)
    : QObject(&bar), label_(new ui::ElidedLabel(ui::ElidedLabel::Mode::End, &bar)) {
    label_->setObjectName(QStringLiteral("PointerReadout"));
    // Room for a long reading; a longer one is cut with its whole text as the tool tip.
    const QString longest = QStringLiteral("X -0000.000, Y -0000.000: smoothed samples 0.000");
    label_->setFixedWidth(label_->fontMetrics().horizontalAdvance(longest) +
                          2 * label_->frameWidth());
    bar.addPermanentWidget(label_);
}

void PointerReadout::follow(ui::FigureSurface* surface, Reading read) {
    connect(surface, &ui::FigureSurface::mouseMoved, this,
            [this, surface, read](const QPointF& at) { show(surface, read, at); });
    connect(surface, &ui::FigureSurface::redrawn, this, [this, surface, read] {
        if (under_ == surface) {
            show(surface, read, at_);
        }
    });
    connect(surface, &ui::FigureSurface::mouseLeft, this, [this, surface] {
        if (under_ == surface) {
            under_ = nullptr;
            label_->setText(QString());
        }
    });
}

void PointerReadout::show(ui::FigureSurface* surface, const Reading& read, const QPointF& at) {
    under_ = surface;
    at_ = at;
    label_->setText(read(QRectF(surface->contentsRect()), at));
}

QString PointerReadout::text() const {
    return label_->text();
}

} // namespace quendrix
