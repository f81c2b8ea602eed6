#pragma once

#include <QRectF>
#include <QWidget>

namespace quendrix::ui {

/// Layout units per screen pixel: printing places every control where it stands on screen.
inline constexpr double FormUnitsPerPixel = 15;

/// Where `control` stands inside `form`, in form units (left, top, width, height).
inline QRectF formRect(const QWidget* control, const QWidget* form) {
    const QPoint topLeft = control->mapTo(form, QPoint(0, 0));
    return {topLeft.x() * FormUnitsPerPixel, topLeft.y() * FormUnitsPerPixel,
            control->width() * FormUnitsPerPixel, control->height() * FormUnitsPerPixel};
}

} // namespace quendrix::ui
