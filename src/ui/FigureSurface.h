#pragma once

#include "ui/FigureScene.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>

class QPainter;
class QWheelEvent;

namespace quendrix::ui {

/// A figure in a window: shows its scene at the widget's size and device pixel ratio, in a
/// sunken or flat frame, and reports clicks, moves and the wheel over it. The scene fills the
/// contents rectangle: points are reported in widget coordinates.
class FigureSurface : public QFrame {
    Q_OBJECT
  public:
    explicit FigureSurface(QWidget* parent = nullptr);
    ~FigureSurface() override;

    /// What the surface shows; what is drawn on it shows after the next refresh().
    FigureScene& scene() { return scene_; }
    const FigureScene& scene() const { return scene_; }

    // The scene's calls, passed on unchanged: see FigureScene.
    void setScale(double width, double height) { scene_.setScale(width, height); }
    double scaleWidth() const { return scene_.scaleWidth(); }
    double scaleHeight() const { return scene_.scaleHeight(); }
    void clear() { scene_.clear(); }
    void fillBox(double x1, double y1, double x2, double y2, const QColor& colour) {
        scene_.fillBox(x1, y1, x2, y2, colour);
    }
    void fillAll(const QColor& colour) { scene_.fillAll(colour); }
    void point(double x, double y, const QColor& colour) { scene_.point(x, y, colour); }
    void cell(double x, double y, const QColor& colour) { scene_.cell(x, y, colour); }
    void setCellSize(double units) { scene_.setCellSize(units); }
    QSize cellGridSize() const { return scene_.cellGridSize(); }
    int cellIndex(double units) const { return scene_.cellIndex(units); }
    void cells(const QImage& grid) { scene_.cells(grid); }
    void line(double x1, double y1, double x2, double y2, const QColor& colour) {
        scene_.line(x1, y1, x2, y2, colour);
    }
    void circle(double x, double y, double radius, const QColor& outline, const QColor& fill) {
        scene_.circle(x, y, radius, outline, fill);
    }
    void text(double x, double y, const QString& text, const QColor& colour) {
        scene_.text(x, y, text, colour);
    }
    void image(const QImage& image, double x1, double y1, double x2, double y2) {
        scene_.image(image, x1, y1, x2, y2);
    }
    void setDrawWidth(double pixels) { scene_.setDrawWidth(pixels); }
    double drawWidth() const { return scene_.drawWidth(); }
    void makePersistent() { scene_.makePersistent(); }
    bool complete() const { return scene_.complete(); }
    QImage render(const QSize& size, qreal devicePixelRatio = 1.0) const {
        return scene_.render(size, devicePixelRatio);
    }
    /// Paints the scene into `target`, in the surface's font.
    void paint(QPainter& painter, const QRectF& target) const { scene_.paint(painter, target); }
    QColor colourAt(double x, double y, const QSize& size) const {
        return scene_.colourAt(x, y, size);
    }
    std::size_t itemCount() const { return scene_.itemCount(); }
    std::uint64_t revision() const { return scene_.revision(); }

    /// Repaints the widget (drawing calls only record) and reports redrawn().
    void refresh();

    /// Flat (no raised border) as a hint that a click opens something.
    void setFlat(bool flat);
    bool isFlat() const { return flat_; }

    /// The current image as the screen shows it, in device pixels (sharp on high-density
    /// screens): what a copy puts on the clipboard.
    QImage image() const;

  signals:
    /// Left, middle or right button released over the surface.
    void clicked(Qt::MouseButton button);
    /// A button pressed over the surface, at `at`.
    void pressed(Qt::MouseButton button, const QPoint& globalPos, const QPointF& at);
    /// The pointer moved to `at` with `buttons` held.
    void mouseMoved(const QPointF& at, Qt::MouseButtons buttons);
    void mouseLeft();
    /// The wheel turned over the surface. The event arrives ignored: a receiver that uses it
    /// accepts it, else it goes on to the window behind (a scrolled window scrolls).
    void wheelTurned(QWheelEvent* event);
    /// refresh() was called: what the surface shows may have changed under a resting pointer.
    void redrawn();

  protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    FigureScene scene_;
    bool flat_ = false;
};

} // namespace quendrix::ui
