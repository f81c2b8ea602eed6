#pragma once

#include "ui/FormUnits.h"
#include "ui/SceneLayer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstddef>
#include <cstdint>

class QPainter;

namespace quendrix::ui {

/// What a figure shows, with its own user scale (0..scaleWidth x 0..scaleHeight, y growing
/// downwards) that figures are drawn on point by point and line by line. It keeps a persistent
/// picture and a drawn layer above it: a plain clear removes the layer and shows the picture
/// again. Everything is kept in user units and rendered at whatever size and device pixel ratio
/// is asked for, so a figure stays sharp at any size; matrix cells fill their whole footprint.
/// A window shows a scene in a FigureSurface; the figure files are drawn from scenes alone.
class FigureScene {
  public:
    void setScale(double width, double height);
    double scaleWidth() const { return scaleWidth_; }
    double scaleHeight() const { return scaleHeight_; }

    /// Plain clear: the drawn layer goes, the persistent picture stays.
    void clear();
    /// A filled box; one covering the whole scale replaces everything below it in the layer.
    void fillBox(double x1, double y1, double x2, double y2, const QColor& colour);
    /// Clears by a filled box over the whole scale.
    void fillAll(const QColor& colour) { fillBox(0, 0, scaleWidth_, scaleHeight_, colour); }
    /// A dot of the current draw width centred at (x, y).
    void point(double x, double y, const QColor& colour);
    /// A matrix cell centred at (x, y) that fills its footprint of cellSize x cellSize units.
    /// Cells lie below every other item of their layer.
    void cell(double x, double y, const QColor& colour);
    void setCellSize(double units);
    /// The grid the cells are kept in at the current cell size: one pixel per cell.
    QSize cellGridSize() const;
    /// The grid column (or row) of a cell centred at `units` along either axis.
    int cellIndex(double units) const;
    /// A whole matrix of cells in one call: every opaque pixel of `grid` (laid out as
    /// cellGridSize(), pixel (cellIndex(x), cellIndex(y)) for the cell at (x, y)) as if drawn by
    /// cell(); transparent pixels leave the cells below as they are.
    void cells(const QImage& grid);
    void line(double x1, double y1, double x2, double y2, const QColor& colour);
    /// A circle of `radius` user units, outlined and filled in the given colours.
    void circle(double x, double y, double radius, const QColor& outline, const QColor& fill);
    void text(double x, double y, const QString& text, const QColor& colour);
    /// An image whose pixels fill the box (x1, y1)-(x2, y2), each pixel a sharp block of its own
    /// colour at any size: a whole matrix in one item rather than one item per cell.
    void image(const QImage& image, double x1, double y1, double x2, double y2);
    /// Width of lines and dots in screen pixels.
    void setDrawWidth(double pixels);
    double drawWidth() const { return drawWidth_; }

    /// The current image becomes the persistent picture; the layer starts empty.
    void makePersistent();

    /// The font texts are drawn in.
    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }

    /// Whether everything drawn is kept: false once a drawing's pixels could not be had for want
    /// of memory, until a clear or a full-area box covers it.
    bool complete() const;

    /// Renders the scale area into an image of the given size; a null image when there is no
    /// memory for it. The last rendering is kept and handed out again while nothing changed.
    QImage render(const QSize& size, qreal devicePixelRatio = 1.0) const;
    /// Paints the scale area into `target` on any paint device, in the scene's font. On a vector
    /// device (SVG, PDF) lines, points, circles and texts stay vectors.
    void paint(QPainter& painter, const QRectF& target) const;
    /// The colour shown at user point (x, y) when rendered at `size`.
    QColor colourAt(double x, double y, const QSize& size) const;
    /// Items (boxes, points, lines, circles, texts, images) kept in the picture and the layer.
    std::size_t itemCount() const;
    /// Nothing to show: no fill, cell or item in the picture or the layer. It renders white at
    /// any size, so a window can paint it without rendering it.
    bool blank() const;
    /// Grows with every drawing call, also one that repaints cells alone with the colours they
    /// had: what a test counts redraws by.
    std::uint64_t revision() const { return revision_; }

    /// The persistent picture and the layer drawn over it, for painting.
    const SceneLayer& picture() const { return picture_; }
    const SceneLayer& layer() const { return layer_; }

  private:
    void touch();
    const QImage& rendered(const QSize& size, qreal devicePixelRatio) const;

    double scaleWidth_ = MainFigureSide;
    double scaleHeight_ = MainFigureSide;
    double cellSize_ = MainFigureSide / 200;
    double drawWidth_ = 1;
    QFont font_;
    SceneLayer picture_;
    SceneLayer layer_;
    // Drawing calls bump the revision; paints and pixel queries reuse the last rendering.
    std::uint64_t revision_ = 0;
    mutable std::uint64_t cacheRevision_ = 0;
    mutable QSize cacheSize_;
    mutable QFont cacheFont_;
    mutable QImage cache_;
};

} // namespace quendrix::ui
