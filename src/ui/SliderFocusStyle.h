#pragma once

#include <QProxyStyle>

namespace quendrix::ui {

/// The platform's style with a ring round the slider that has the keyboard focus. Most styles
/// mark a focused slider faintly or not at all, and the arrow keys move whichever slider has
/// it, so the user must be able to see which one that is.
class SliderFocusStyle : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};

/// Gives every slider inside `window` the visible focus ring.
void showSliderFocus(QWidget* window);

} // namespace quendrix::ui
