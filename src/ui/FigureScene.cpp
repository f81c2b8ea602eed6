#include "ui/FigureScene.h"

#include "ui/ScenePainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quendrix::ui {

namespace {

using Item = SceneItem;

QSize cellGrid(double width, double height, double cellSize) {
    return {static_cast<int>(std::lround(width / cellSize)) + 1,
            static_cast<int>(std::lround(height / cellSize)) + 1};
}

// Copies `cells` (made with cell size `from`) onto a grid of cell size `to` and `size` cells,
// keeping every cell where it lies in user units.
QImage regrid(const QImage& cells, double from, double to, QSize size) {
    QImage out(size, QImage::Format_ARGB32);
    if (out.isNull()) {
        return out;
    }
    out.fill(Qt::transparent);
    QPainter p(&out);
    // Pixel centre i + 0.5 stands for user coordinate i * cellSize.
    const double r = from / to;
    p.setTransform(QTransform::fromTranslate(-0.5, -0.5) * QTransform::fromScale(r, r) *
                   QTransform::fromTranslate(0.5, 0.5));
    p.drawImage(0, 0, cells);
    return out;
}

// The layer's cell grid at the given cell size, made (or regridded) on first use.
QImage& layerCells(SceneLayer& l, QSize grid, double cellSize) {
    if (l.cells.isNull()) {
        l.cells = QImage(grid, QImage::Format_ARGB32);
        l.cells.fill(Qt::transparent);
        l.cellSize = cellSize;
    } else if (l.cellSize != cellSize || l.cells.size() != grid) {
        l.cells = regrid(l.cells, l.cellSize, cellSize, grid);
        l.cellSize = cellSize;
    }
    l.lost = l.lost || l.cells.isNull();
    return l.cells;
}

} // namespace

void FigureScene::setScale(double width, double height) {
    if (width > 0 && height > 0) {
        scaleWidth_ = width;
        scaleHeight_ = height;
        touch();
    }
}

void FigureScene::setCellSize(double units) {
    if (units > 0) {
        cellSize_ = units;
    }
}

void FigureScene::setDrawWidth(double pixels) {
    drawWidth_ = std::max(0.0, pixels);
}

void FigureScene::clear() {
    layer_ = SceneLayer();
    touch();
}

void FigureScene::fillBox(double x1, double y1, double x2, double y2, const QColor& colour) {
    if (std::min(x1, x2) <= 0 && std::min(y1, y2) <= 0 && std::max(x1, x2) >= scaleWidth_ &&
        std::max(y1, y2) >= scaleHeight_) {
        // Nothing below a full-area box can show, so it is dropped rather than kept.
        layer_ = SceneLayer();
        layer_.fill = colour;
    } else {
        layer_.items.push_back({Item::Kind::Box, 0, colour.rgba(), 0, x1, y1, x2, y2, -1});
    }
    touch();
}

void FigureScene::point(double x, double y, const QColor& colour) {
    layer_.items.push_back(
        {Item::Kind::Point, static_cast<float>(drawWidth_), colour.rgba(), 0, x, y, 0, 0, -1});
    touch();
}

void FigureScene::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    layer_.items.push_back(
        {Item::Kind::Line, static_cast<float>(drawWidth_), colour.rgba(), 0, x1, y1, x2, y2, -1});
    touch();
}

void FigureScene::circle(double x, double y, double radius, const QColor& outline,
                         const QColor& fill) {
    layer_.items.push_back({Item::Kind::Circle, static_cast<float>(drawWidth_), outline.rgba(),
                            fill.rgba(), x, y, std::abs(radius), 0, -1});
    touch();
}

void FigureScene::text(double x, double y, const QString& text, const QColor& colour) {
    SceneLayer& l = layer_;
    l.items.push_back(
        {Item::Kind::Text, 0, colour.rgba(), 0, x, y, 0, 0, static_cast<int>(l.texts.size())});
    l.texts.push_back(text);
    touch();
}

void FigureScene::image(const QImage& image, double x1, double y1, double x2, double y2) {
    SceneLayer& l = layer_;
    // A drawing's own image comes null when its pixels could not be had.
    if (image.isNull()) {
        l.lost = true;
        touch();
        return;
    }
    l.items.push_back(
        {Item::Kind::Image, 0, 0, 0, x1, y1, x2, y2, static_cast<int>(l.images.size())});
    l.images.push_back(image);
    touch();
}

QSize FigureScene::cellGridSize() const {
    return cellGrid(scaleWidth_, scaleHeight_, cellSize_);
}

int FigureScene::cellIndex(double units) const {
    return static_cast<int>(std::lround(units / cellSize_));
}

void FigureScene::cell(double x, double y, const QColor& colour) {
    const QSize grid = cellGridSize();
    QImage& target = layerCells(layer_, grid, cellSize_);
    const double ix = std::round(x / cellSize_);
    const double iy = std::round(y / cellSize_);
    if (!target.isNull() && ix >= 0 && iy >= 0 && ix < grid.width() && iy < grid.height()) {
        target.setPixel(static_cast<int>(ix), static_cast<int>(iy), colour.rgba());
        touch();
    }
}

void FigureScene::cells(const QImage& grid) {
    const QImage source =
        grid.format() == QImage::Format_ARGB32 ? grid : grid.convertToFormat(QImage::Format_ARGB32);
    QImage& target = layerCells(layer_, cellGridSize(), cellSize_);
    layer_.lost = layer_.lost || source.isNull();
    const int width = std::min(source.width(), target.width());
    const int height = std::min(source.height(), target.height());
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(from[x]) != 0) {
                to[x] = from[x];
            }
        }
    }
    touch();
}

void FigureScene::makePersistent() {
    SceneLayer& l = layer_;
    SceneLayer& p = picture_;
    if (l.fill) {
        std::swap(p, l);
    } else {
        if (!l.cells.isNull()) {
            if (p.cells.isNull()) {
                p.cells = std::move(l.cells);
                p.cellSize = l.cellSize;
            } else {
                if (p.cellSize != l.cellSize || p.cells.size() != l.cells.size()) {
                    p.cells = regrid(p.cells, p.cellSize, l.cellSize, l.cells.size());
                    p.cellSize = l.cellSize;
                }
                QPainter painter;
                if (!p.cells.isNull() && painter.begin(&p.cells)) {
                    painter.drawImage(0, 0, l.cells);
                } else {
                    p.lost = true;
                }
            }
        }
        p.lost = p.lost || l.lost;
        const int textBase = static_cast<int>(p.texts.size());
        const int imageBase = static_cast<int>(p.images.size());
        for (Item it : l.items) {
            if (it.kind == Item::Kind::Text) {
                it.index += textBase;
            } else if (it.kind == Item::Kind::Image) {
                it.index += imageBase;
            }
            p.items.push_back(it);
        }
        p.texts.insert(p.texts.end(), l.texts.begin(), l.texts.end());
        p.images.insert(p.images.end(), l.images.begin(), l.images.end());
    }
    l = SceneLayer();
    touch();
}

bool FigureScene::complete() const {
    return !layer_.lost && (layer_.fill || !picture_.lost);
}

std::size_t FigureScene::itemCount() const {
    return picture_.items.size() + layer_.items.size();
}

bool FigureScene::blank() const {
    const auto empty = [](const SceneLayer& l) {
        return !l.fill && l.cells.isNull() && l.items.empty();
    };
    return empty(picture_) && empty(layer_);
}

void FigureScene::touch() {
    ++revision_;
}

const QImage& FigureScene::rendered(const QSize& size, qreal devicePixelRatio) const {
    if (cache_.isNull() || cacheRevision_ != revision_ || cacheSize_ != size ||
        cache_.devicePixelRatio() != devicePixelRatio || cacheFont_ != font_) {
        const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
        cache_ = QImage(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        cache_.setDevicePixelRatio(devicePixelRatio);
        QPainter painter;
        if (cache_.isNull() || !painter.begin(&cache_)) {
            // No memory for the pixels: a null image says so, and the next call tries again.
            cache_ = QImage();
            return cache_;
        }
        painter.setFont(font_);
        paintScene(painter, *this, QRectF(QPointF(0, 0), QSizeF(size)));
        cacheRevision_ = revision_;
        cacheSize_ = size;
        cacheFont_ = font_;
    }
    return cache_;
}

QImage FigureScene::render(const QSize& size, qreal devicePixelRatio) const {
    return rendered(size, devicePixelRatio);
}

void FigureScene::paint(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setFont(font_);
    paintScene(painter, *this, target);
    painter.restore();
}

QColor FigureScene::colourAt(double x, double y, const QSize& size) const {
    const QImage& image = rendered(size, 1.0);
    if (image.isNull()) {
        return {};
    }
    const int px = std::clamp(static_cast<int>(std::floor(x * size.width() / scaleWidth_)), 0,
                              image.width() - 1);
    const int py = std::clamp(static_cast<int>(std::floor(y * size.height() / scaleHeight_)), 0,
                              image.height() - 1);
    return image.pixelColor(px, py);
}

} // namespace quendrix::ui
