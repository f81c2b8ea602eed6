#include "app/ColourBar.h"

#include "colour/ColourEditing.h"
#include "figures/FigureColours.h"

#include <QPainter>

namespace quendrix {

ColourBar::ColourBar(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColourBar::draw(const ColourRamp& ramp) {
    ramp_ = ramp;
    columns_ = QImage();
    update();
}

double ColourBar::pixelX(float v) const {
    const QRect inside = contentsRect();
    return inside.left() + double(v) * inside.width();
}

void ColourBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect inside = contentsRect();
    if (inside.isEmpty()) {
        return;
    }
    const int n = qRound(inside.width() * devicePixelRatioF());
    if (columns_.width() != n) {
        columns_ = QImage(n, 1, QImage::Format_RGB32);
        for (int p = 0; p < n; ++p) {
            const Rgb c = colourBarColour(ramp_, float((p + 0.5) / n));
            columns_.setPixel(p, 0, toQRgb(c));
        }
    }
    painter.drawImage(QRectF(inside), columns_);
}

} // namespace quendrix
