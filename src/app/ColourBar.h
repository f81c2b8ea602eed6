#pragma once

#include "colour/ColourRamp.h"

#include <QFrame>
#include <QImage>

namespace quendrix {

/// The colour bar of the colour settings: the ramp from value 0 at the left to 1 at the right,
/// white up to the threshold, as it was when last drawn (dragging a breakpoint does not redraw
/// it). Each pixel column shows the value at its centre.
class ColourBar : public QFrame {
    Q_OBJECT
  public:
    explicit ColourBar(QWidget* parent = nullptr);

    /// Draws the bar for `ramp`'s breakpoints and threshold (no gain).
    void draw(const ColourRamp& ramp);
    /// Where value v lies, in the bar's pixels.
    double pixelX(float v) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ColourRamp ramp_;
    mutable QImage columns_; ///< one pixel per device column, made at the current width
};

} // namespace quendrix
