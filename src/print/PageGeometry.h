#pragma once

#include "base/Result.h"
#include "session/SessionState.h"

#include <QPointF>
#include <QRectF>
#include <QString>

namespace quendrix {

/// Where a window's form coordinates (twips, as the window is designed) land on the page: scaled
/// by the zoom, then shifted by the window's page offset, which is not scaled.
struct PageTransform {
    double zoom = 1;
    double offsetX = 0;
    double offsetY = 0;

    double x(double formX) const { return formX * zoom + offsetX; }
    double y(double formY) const { return formY * zoom + offsetY; }
    QPointF map(double formX, double formY) const { return {x(formX), y(formY)}; }
    QRectF map(const QRectF& form) const {
        return {map(form.left(), form.top()), map(form.right(), form.bottom())};
    }
};

/// A printer line width: the nearest whole number of dots, halves to even, at least one (the
/// thinnest line a printer draws).
int printerWidth(double dots);

/// The estimated width of a text for centring: characters x font size x 10.8 twips.
double estimatedTextWidth(const QString& text, double fontSize);

/// Whether the print options can give a page; a refusal names the setting by its label in the
/// print options. The options are stored as typed either way.
Status checkPrintSettings(const SessionState& state);

} // namespace quendrix
