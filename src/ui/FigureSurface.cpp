#include "ui/FigureSurface.h"

#include "ui/ClickKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace quendrix::ui {

FigureSurface::FigureSurface(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Every pixel of the contents is painted, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    scene_.setFont(font());
}

FigureSurface::~FigureSurface() = default;

void FigureSurface::refresh() {
    update();
    emit redrawn();
}

void FigureSurface::setFlat(bool flat) {
    flat_ = flat;
    // The frame keeps its width either way, so the figure does not move when the look changes.
    setFrameShadow(flat ? QFrame::Plain : QFrame::Sunken);
    update();
}

QImage FigureSurface::image() const {
    return scene_.render(contentsRect().size().expandedTo(QSize(1, 1)), devicePixelRatioF());
}

// The scene draws its texts in the surface's font, whichever way that font comes to change
// (set here, inherited from a parent, or the application's).
void FigureSurface::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        scene_.setFont(font());
    }
    QFrame::changeEvent(event);
}

void FigureSurface::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect contents = contentsRect();
    if (flat_) {
        // A thin line where the 3-D edge was.
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        drawFrame(&painter);
    }
    if (contents.isEmpty()) {
        return;
    }
    // A figure not drawn yet, as all are at the start, is white: no image need be made for it.
    if (scene_.blank()) {
        painter.fillRect(contents, Qt::white);
    } else {
        painter.drawImage(contents.topLeft(), scene_.render(contents.size(), devicePixelRatioF()));
    }
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(contents.adjusted(0, 0, -1, -1));
    }
}

// The events stay accepted (the base classes would pass them on to the parent): a move over a
// surface must not also count as a move over the window behind it.
void FigureSurface::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->globalPosition().toPoint(), event->position());
}

void FigureSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        emit clicked(event->button());
    }
}

void FigureSurface::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position(), event->buttons());
}

void FigureSurface::leaveEvent(QEvent* event) {
    emit mouseLeft();
    QFrame::leaveEvent(event);
}

void FigureSurface::wheelEvent(QWheelEvent* event) {
    event->ignore();
    emit wheelTurned(event);
}

// The figure that has the focus is the next step of the workflow: Return or Space runs it as a
// click does.
void FigureSurface::keyPressEvent(QKeyEvent* event) {
    if (isClickKey(*event)) {
        emit clicked(Qt::LeftButton);
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace quendrix::ui
