#pragma once

#include "colour/ColourEditing.h"

#include <QColor>
#include <QFrame>
#include <QPointF>

#include <array>

namespace quendrix {

/// One channel of the colour ramp as its trapezoid with the four breakpoints marked, on white,
/// 15 scale units to the pixel. It reports the pointer in those units and the keyboard's
/// requests; the colour settings window decides what they do.
class ChannelEditor : public QFrame {
    Q_OBJECT
  public:
    explicit ChannelEditor(QWidget* parent = nullptr);

    /// What the editor shows; it repaints at the next paint.
    void setBreakpoints(const std::array<float, 4>& breakpoints, const QColor& line);
    const std::array<float, 4>& breakpoints() const { return breakpoints_; }
    QColor lineColour() const { return line_; }

    EditorScale scale() const;
    /// Where breakpoint value b lies, in the editor's pixels.
    double pixelX(float b) const;
    /// The inside of the editor's pixel `p` (0 at the left of its white area) in scale units.
    QPointF unitsAt(const QPointF& pixel) const;

    /// The breakpoint the keyboard moves, marked filled while the editor has the focus.
    int selected() const { return selected_; }
    void setSelected(int k);

  signals:
    void pressed(QPointF units);
    void moved(QPointF units, bool buttonDown);
    void released(QPointF units);
    /// The keyboard moves breakpoint k by `percent` per cent.
    void stepRequested(int k, int percent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    std::array<float, 4> breakpoints_{};
    QColor line_ = Qt::black;
    int selected_ = 0;
};

} // namespace quendrix
