#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quendrix::ui {

/// One drawing call of a scene, kept in user units so that it can be painted at any size.
struct SceneItem {
    enum class Kind : std::uint8_t { Box, Point, Line, Circle, Text, Image };
    Kind kind;
    float width; // draw width in screen pixels at the time of drawing
    QRgb colour;
    QRgb fill; // circles only
    // Box, line and image: two corners. Point, circle, text: (x1, y1); a circle's radius in x2.
    double x1, y1, x2, y2;
    int index; // into SceneLayer::texts or SceneLayer::images
};

/// What a scene keeps in its persistent picture or in the layer drawn over it.
struct SceneLayer {
    std::optional<QColor> fill;
    QImage cells;        // one pixel per matrix cell, transparent where no cell was drawn
    double cellSize = 0; // the grid `cells` was made for
    std::vector<SceneItem> items;
    std::vector<QString> texts;
    std::vector<QImage> images;
    // Something drawn could not be kept: there was no memory for its pixels.
    bool lost = false;
};

} // namespace quendrix::ui
