#pragma once

#include "colour/ColourRamp.h"

#include <QColor>

namespace quendrix {

inline QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

inline QRgb toQRgb(Rgb c) {
    return qRgb(c.red, c.green, c.blue);
}

/// The shades of the confidence regions: the narrower region pale, the ring around it dark.
struct RegionShades {
    QColor inner;
    QColor outer;
};

inline RegionShades regionShades(bool greyScale) {
    return greyScale ? RegionShades{QColor(200, 200, 200), QColor(100, 100, 100)}
                     : RegionShades{QColor(200, 255, 200), QColor(50, 127, 50)};
}

/// Curves, marks and the section's dots: `colour`, or black in grey scale.
inline QColor lineColour(bool greyScale, const QColor& colour) {
    return greyScale ? QColor(0, 0, 0) : colour;
}

} // namespace quendrix
