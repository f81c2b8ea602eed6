#include "app/ChannelEditor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace quendrix {
namespace {

constexpr double UnitsPerPixel = 15;
constexpr double LowLine = 0.8;
constexpr double HighLine = 0.2;

} // namespace

ChannelEditor::ChannelEditor(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QStringLiteral("Drag a point. Keyboard: 1 to 4 or Up and Down pick a point, Left "
                              "and Right move it by 1 %, Page Up and Page Down by 10 %"));
}

void ChannelEditor::setBreakpoints(const std::array<float, 4>& breakpoints, const QColor& line) {
    breakpoints_ = breakpoints;
    line_ = line;
    update();
}

EditorScale ChannelEditor::scale() const {
    const QRect inside = contentsRect();
    return {inside.width() * UnitsPerPixel, inside.height() * UnitsPerPixel};
}

double ChannelEditor::pixelX(float b) const {
    const QRect inside = contentsRect();
    return inside.left() + double(b) * inside.width();
}

QPointF ChannelEditor::unitsAt(const QPointF& pixel) const {
    const QRect inside = contentsRect();
    return (pixel - QPointF(inside.topLeft())) * UnitsPerPixel;
}

void ChannelEditor::setSelected(int k) {
    selected_ = k;
    update();
}

void ChannelEditor::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect inside = contentsRect();
    painter.fillRect(inside, Qt::white);
    painter.setClipRect(inside);
    const double w = inside.width();
    const double h = inside.height();
    const double low = inside.top() + LowLine * h;
    const double high = inside.top() + HighLine * h;
    const std::array<QPointF, 4> at = {
        QPointF(pixelX(breakpoints_[0]), low), QPointF(pixelX(breakpoints_[1]), high),
        QPointF(pixelX(breakpoints_[2]), high), QPointF(pixelX(breakpoints_[3]), low)};
    painter.setPen(QPen(line_, 1));
    const QPointF start(inside.left(), low);
    const QPointF end(inside.left() + w, low);
    const QLineF lines[] = {
        {start, at[0]}, {at[0], at[1]}, {at[1], at[2]}, {at[2], at[3]}, {at[3], end}};
    painter.drawLines(lines, 5);
    // Markers of 60 units (4 pixels) a side.
    const double half = 60 / UnitsPerPixel / 2;
    for (int k = 0; k < 4; ++k) {
        const QRectF square(at[size_t(k)] - QPointF(half, half), QSizeF(2 * half, 2 * half));
        if (k == selected_ && hasFocus()) {
            painter.fillRect(square.adjusted(-1, -1, 1, 1), line_);
        } else {
            painter.drawRect(square);
        }
    }
}

void ChannelEditor::mousePressEvent(QMouseEvent* event) {
    emit pressed(unitsAt(event->position()));
}

void ChannelEditor::mouseMoveEvent(QMouseEvent* event) {
    emit moved(unitsAt(event->position()), event->buttons() != Qt::NoButton);
}

void ChannelEditor::mouseReleaseEvent(QMouseEvent* event) {
    emit released(unitsAt(event->position()));
}

void ChannelEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_4) {
        setSelected(key - Qt::Key_1);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        setSelected((selected_ + (key == Qt::Key_Down ? 1 : 3)) % 4);
    } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
        emit stepRequested(selected_, key == Qt::Key_Right ? 1 : -1);
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        emit stepRequested(selected_, key == Qt::Key_PageUp ? 10 : -10);
    } else {
        QFrame::keyPressEvent(event);
    }
}

void ChannelEditor::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    update();
}

void ChannelEditor::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    update();
}

} // namespace quendrix
