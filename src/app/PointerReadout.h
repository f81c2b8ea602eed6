#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <functional>

class QStatusBar;

namespace quendrix {

namespace ui {
class ElidedLabel;
class FigureSurface;
} // namespace ui

/// What the figure under the pointer shows there, on a label of its own at the right of a
/// window's status bar ("PointerReadout"), so that the status line's messages stay. The label
/// keeps one width, so the bar does not move as the texts come and go.
class PointerReadout : public QObject {
    Q_OBJECT
  public:
    /// The text for widget point `at` of a surface whose drawing fills `area`; empty for none.
    using Reading = std::function<QString(const QRectF& area, const QPointF& at)>;

    explicit PointerReadout(QStatusBar& bar);

    /// Shows `read`'s text while the pointer moves over `surface`, reads it again where the
    /// pointer rests when the surface redraws, and clears it when the pointer leaves.
    void follow(ui::FigureSurface* surface, Reading read);

    QString text() const;

  private:
    void show(ui::FigureSurface* surface, const Reading& read, const QPointF& at);

    ui::ElidedLabel* label_;
    QPointer<ui::FigureSurface> under_; ///< the surface the pointer is over, if any
    QPointF at_;
};

} // namespace quendrix
