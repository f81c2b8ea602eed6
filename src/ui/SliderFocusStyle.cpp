#include "ui/SliderFocusStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>

namespace quendrix::ui {
namespace {

// In logical pixels, so that it keeps its weight at every screen scale.
constexpr double RingWidth = 2;

QStyle* sliderStyle() {
    // One for every slider, owned by the application, which outlives the windows. It wraps a
    // copy of the application's own style, since a proxy owns the style it wraps.
    static QPointer<SliderFocusStyle> style;
    if (!style) {
        style = new SliderFocusStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

} // namespace

void SliderFocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    if (control == CC_Slider && option->state.testFlag(State_HasFocus)) {
        // Drawn first, so that the handle stands on the ring.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), RingWidth));
        painter->setBrush(Qt::NoBrush);
        const double inset = RingWidth / 2;
        painter->drawRoundedRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset), 3, 3);
        painter->restore();
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void showSliderFocus(QWidget* window) {
    for (QSlider* slider : window->findChildren<QSlider*>()) {
        slider->setStyle(sliderStyle());
    }
}

} // namespace quendrix::ui
