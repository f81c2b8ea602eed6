#pragma once

class QPainter;
class QRectF;

namespace quendrix::ui {

class FigureScene;

/// Paints `scene` into `target` on any paint device: white, the persistent picture unless the
/// layer covers it, then the layer, scaled from the scene's user units to the box at the
/// device's pixel ratio. Texts are drawn in the painter's font; the painter's state is kept.
/// On a vector device (SVG, PDF) lines, points, circles and texts stay vectors.
void paintScene(QPainter& painter, const FigureScene& scene, const QRectF& target);

} // namespace quendrix::ui
