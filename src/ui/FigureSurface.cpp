#include "ui/FigureSurface.h"

#include "ui/ClickKeys.h"

#include <QKeyEvent>

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace quendrix::ui {

namespace {

struct Item {
    enum class Kind : std::uint8_t { Box, Point, Line, Circle, Text, Image };
    Kind kind;
    float width; // draw width in screen pixels at the time of drawing
    QRgb colour;
    QRgb fill; // circles only
    // Box, line and image: two corners. Point, circle, text: (x1, y1); a circle's radius in x2.
    double x1, y1, x2, y2;
    int index; // into Layer::texts or Layer::images
};

struct LayerData {
    std::optional<QColor> fill;
    QImage cells;        // one pixel per matrix cell, transparent where no cell was drawn
    double cellSize = 0; // the grid `cells` was made for
    std::vector<Item> items;
    std::vector<QString> texts;
    std::vector<QImage> images;
    // Something drawn could not be kept: there was no memory for its pixels.
    bool lost = false;
};

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

// On a vector device an image is embedded, and a viewer may smooth it when it scales it: blown
// up in whole blocks beforehand, every pixel stays a sharp square.
void drawSharpImage(QPainter& painter, const QRectF& target, const QImage& image) {
    if (painter.paintEngine() == nullptr || painter.paintEngine()->type() == QPaintEngine::Raster ||
        image.isNull()) {
        painter.drawImage(target, image);
        return;
    }
    constexpr qreal Oversampling = 4;
    constexpr int MaxSide = 2048;
    const qreal wanted = std::max(target.width() / image.width(), target.height() / image.height());
    const int factor = std::clamp(int(std::ceil(wanted * Oversampling)), 1,
                                  std::max(1, MaxSide / std::max(image.width(), image.height())));
    const QImage blownUp = factor == 1 ? image
                                       : image.scaled(image.size() * factor, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation);
    // Without the memory for the larger copy the pixels still go in, only perhaps smoothed.
    painter.drawImage(target, blownUp.isNull() ? image : blownUp);
}

bool rasterDevice(const QPainter& painter) {
    return painter.paintEngine() != nullptr &&
           painter.paintEngine()->type() == QPaintEngine::Raster;
}

struct Mapping {
    QRectF target;
    double sx, sy;
    QPointF map(double x, double y) const {
        return {target.left() + x * sx, target.top() + y * sy};
    }
};

void paintItems(QPainter& painter, const LayerData& layer, const Mapping& m, qreal dpr) {
    const std::vector<Item>& items = layer.items;
    const qreal minWidth = 1.0 / dpr;
    // Runs of points or lines of one colour and width go to the painter in one call: a figure
    // can hold tens of thousands of them.
    std::vector<QRectF> rects;
    std::vector<QLineF> lines;
    std::size_t i = 0;
    while (i < items.size()) {
        const Item& it = items[i];
        const qreal w = std::max<qreal>(it.width, minWidth);
        auto runEnd = [&](Item::Kind kind) {
            std::size_t j = i;
            while (j < items.size() && items[j].kind == kind && items[j].colour == it.colour &&
                   items[j].width == it.width && items[j].fill == it.fill &&
                   (kind != Item::Kind::Circle || items[j].x2 == it.x2)) {
                ++j;
            }
            return j;
        };
        switch (it.kind) {
        case Item::Kind::Box: {
            const QRectF r(m.map(it.x1, it.y1), m.map(it.x2, it.y2));
            painter.fillRect(r.normalized(), QColor::fromRgba(it.colour));
            ++i;
            break;
        }
        case Item::Kind::Point: {
            const std::size_t end = runEnd(Item::Kind::Point);
            rects.clear();
            for (; i < end; ++i) {
                const QPointF c = m.map(items[i].x1, items[i].y1);
                rects.emplace_back(c.x() - w / 2, c.y() - w / 2, w, w);
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgba(it.colour));
            painter.drawRects(rects.data(), static_cast<int>(rects.size()));
            break;
        }
        case Item::Kind::Line: {
            const std::size_t end = runEnd(Item::Kind::Line);
            lines.clear();
            for (; i < end; ++i) {
                lines.emplace_back(m.map(items[i].x1, items[i].y1),
                                   m.map(items[i].x2, items[i].y2));
            }
            QPen pen(QColor::fromRgba(it.colour), w, Qt::SolidLine, Qt::SquareCap);
            painter.setPen(pen);
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
            break;
        }
        case Item::Kind::Circle: {
            const std::size_t end = runEnd(Item::Kind::Circle);
            const qreal rx = it.x2 * m.sx, ry = it.x2 * m.sy;
            QPainter* target = &painter;
            QImage sprite;
            QPainter spritePainter;
            if (end - i >= 4 && rasterDevice(painter)) {
                // A scatter plot draws thousands of equal circles: render one and copy it.
                const qreal margin = w / 2 + 1;
                sprite =
                    QImage(std::ceil((rx + margin) * dpr) * 2, std::ceil((ry + margin) * dpr) * 2,
                           QImage::Format_ARGB32_Premultiplied);
                // Without the memory for it the circles are drawn one by one.
                if (!sprite.isNull()) {
                    sprite.setDevicePixelRatio(dpr);
                    sprite.fill(Qt::transparent);
                }
                if (!sprite.isNull() && spritePainter.begin(&sprite)) {
                    target = &spritePainter;
                } else {
                    sprite = QImage();
                }
            }
            target->setRenderHint(QPainter::Antialiasing, true);
            target->setPen(QPen(QColor::fromRgba(it.colour), w));
            target->setBrush(QColor::fromRgba(it.fill));
            if (sprite.isNull()) {
                for (; i < end; ++i) {
                    painter.drawEllipse(m.map(items[i].x1, items[i].y1), rx, ry);
                }
                painter.setRenderHint(QPainter::Antialiasing, false);
                break;
            }
            const QPointF half(sprite.width() / 2, sprite.height() / 2); // device pixels
            spritePainter.drawEllipse(half / dpr, rx, ry);
            spritePainter.end();
            for (; i < end; ++i) {
                // Whole device pixels keep the copy a plain blit.
                const QPointF c = m.map(items[i].x1, items[i].y1) * dpr - half;
                painter.drawImage(QPointF(std::round(c.x()), std::round(c.y())) / dpr, sprite);
            }
            break;
        }
        case Item::Kind::Text: {
            painter.setPen(QColor::fromRgba(it.colour));
            const QPointF at = m.map(it.x1, it.y1);
            painter.drawText(QRectF(at, QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop,
                             layer.texts[static_cast<std::size_t>(it.index)]);
            ++i;
            break;
        }
        case Item::Kind::Image: {
            // No smooth transform: every pixel fills its footprint in its own colour.
            const QRectF r(m.map(it.x1, it.y1), m.map(it.x2, it.y2));
            drawSharpImage(painter, r, layer.images[static_cast<std::size_t>(it.index)]);
            ++i;
            break;
        }
        }
    }
}

void paintLayer(QPainter& painter, const LayerData& layer, const Mapping& m, qreal dpr) {
    if (layer.fill) {
        painter.fillRect(m.target, *layer.fill);
    }
    if (!layer.cells.isNull()) {
        // Cell i covers [(i - 1/2) * cellSize, (i + 1/2) * cellSize]; nearest-neighbour scaling
        // (no smooth transform) fills each footprint exactly without seams between cells.
        const double half = layer.cellSize / 2;
        const QPointF topLeft = m.map(-half, -half);
        const QPointF bottomRight = m.map(layer.cells.width() * layer.cellSize - half,
                                          layer.cells.height() * layer.cellSize - half);
        drawSharpImage(painter, QRectF(topLeft, bottomRight), layer.cells);
    }
    paintItems(painter, layer, m, dpr);
}

} // namespace

struct FigureSurface::Layer : LayerData {};

FigureSurface::FigureSurface(QWidget* parent)
    : QFrame(parent), picture_(std::make_unique<Layer>()), layer_(std::make_unique<Layer>()) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Every pixel of the contents is painted, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

FigureSurface::~FigureSurface() = default;

void FigureSurface::setScale(double width, double height) {
    if (width > 0 && height > 0) {
        scaleWidth_ = width;
        scaleHeight_ = height;
        touch();
    }
}

void FigureSurface::setCellSize(double units) {
    if (units > 0) {
        cellSize_ = units;
    }
}

void FigureSurface::setDrawWidth(double pixels) {
    drawWidth_ = std::max(0.0, pixels);
}

void FigureSurface::clear() {
    *layer_ = Layer();
    touch();
}

void FigureSurface::fillBox(double x1, double y1, double x2, double y2, const QColor& colour) {
    if (std::min(x1, x2) <= 0 && std::min(y1, y2) <= 0 && std::max(x1, x2) >= scaleWidth_ &&
        std::max(y1, y2) >= scaleHeight_) {
        // Nothing below a full-area box can show, so it is dropped rather than kept.
        *layer_ = Layer();
        layer_->fill = colour;
    } else {
        layer_->items.push_back({Item::Kind::Box, 0, colour.rgba(), 0, x1, y1, x2, y2, -1});
    }
    touch();
}

void FigureSurface::point(double x, double y, const QColor& colour) {
    layer().items.push_back(
        {Item::Kind::Point, static_cast<float>(drawWidth_), colour.rgba(), 0, x, y, 0, 0, -1});
    touch();
}

void FigureSurface::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    layer().items.push_back(
        {Item::Kind::Line, static_cast<float>(drawWidth_), colour.rgba(), 0, x1, y1, x2, y2, -1});
    touch();
}

void FigureSurface::circle(double x, double y, double radius, const QColor& outline,
                           const QColor& fill) {
    layer().items.push_back({Item::Kind::Circle, static_cast<float>(drawWidth_), outline.rgba(),
                             fill.rgba(), x, y, std::abs(radius), 0, -1});
    touch();
}

void FigureSurface::text(double x, double y, const QString& text, const QColor& colour) {
    Layer& l = layer();
    l.items.push_back(
        {Item::Kind::Text, 0, colour.rgba(), 0, x, y, 0, 0, static_cast<int>(l.texts.size())});
    l.texts.push_back(text);
    touch();
}

void FigureSurface::image(const QImage& image, double x1, double y1, double x2, double y2) {
    Layer& l = layer();
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

namespace {

// The layer's cell grid at the given cell size, made (or regridded) on first use.
QImage& layerCells(LayerData& l, QSize grid, double cellSize) {
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

QSize FigureSurface::cellGridSize() const {
    return cellGrid(scaleWidth_, scaleHeight_, cellSize_);
}

int FigureSurface::cellIndex(double units) const {
    return static_cast<int>(std::lround(units / cellSize_));
}

void FigureSurface::cell(double x, double y, const QColor& colour) {
    const QSize grid = cellGridSize();
    QImage& target = layerCells(layer(), grid, cellSize_);
    const double ix = std::round(x / cellSize_);
    const double iy = std::round(y / cellSize_);
    if (!target.isNull() && ix >= 0 && iy >= 0 && ix < grid.width() && iy < grid.height()) {
        target.setPixel(static_cast<int>(ix), static_cast<int>(iy), colour.rgba());
        touch();
    }
}

void FigureSurface::cells(const QImage& grid) {
    const QImage source =
        grid.format() == QImage::Format_ARGB32 ? grid : grid.convertToFormat(QImage::Format_ARGB32);
    QImage& target = layerCells(layer(), cellGridSize(), cellSize_);
    layer().lost = layer().lost || source.isNull();
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

void FigureSurface::makePersistent() {
    Layer& l = layer();
    Layer& p = *picture_;
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
    l = Layer();
    touch();
}

void FigureSurface::refresh() {
    update();
}

void FigureSurface::setFlat(bool flat) {
    flat_ = flat;
    // The frame keeps its width either way, so the figure does not move when the look changes.
    setFrameShadow(flat ? QFrame::Plain : QFrame::Sunken);
    update();
}

bool FigureSurface::complete() const {
    return !layer_->lost && (layer_->fill || !picture_->lost);
}

std::size_t FigureSurface::itemCount() const {
    return picture_->items.size() + layer_->items.size();
}

void FigureSurface::touch() {
    ++revision_;
}

void FigureSurface::paintScale(QPainter& painter, const QRectF& target) const {
    const Mapping m{target, target.width() / scaleWidth_, target.height() / scaleHeight_};
    const qreal dpr = painter.device()->devicePixelRatioF();
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, Qt::white);
    if (!layer_->fill) {
        paintLayer(painter, *picture_, m, dpr);
    }
    paintLayer(painter, *layer_, m, dpr);
    painter.restore();
}

const QImage& FigureSurface::rendered(const QSize& size, qreal devicePixelRatio) const {
    if (cache_.isNull() || cacheRevision_ != revision_ || cacheSize_ != size ||
        cache_.devicePixelRatio() != devicePixelRatio || cacheFont_ != font()) {
        const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
        cache_ = QImage(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        cache_.setDevicePixelRatio(devicePixelRatio);
        QPainter painter;
        if (cache_.isNull() || !painter.begin(&cache_)) {
            // No memory for the pixels: a null image says so, and the next call tries again.
            cache_ = QImage();
            return cache_;
        }
        painter.setFont(font());
        paintScale(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        cacheRevision_ = revision_;
        cacheSize_ = size;
        cacheFont_ = font();
    }
    return cache_;
}

QImage FigureSurface::render(const QSize& size, qreal devicePixelRatio) const {
    return rendered(size, devicePixelRatio);
}

void FigureSurface::paint(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setFont(font());
    paintScale(painter, target);
    painter.restore();
}

QImage FigureSurface::image() const {
    return rendered(contentsRect().size().expandedTo(QSize(1, 1)), devicePixelRatioF());
}

QColor FigureSurface::colourAt(double x, double y, const QSize& size) const {
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

void FigureSurface::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect contents = contentsRect();
    if (flat_) {
        // A thin line where the 3-D edge was.
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        drawFrame(&painter);
    }
    if (contents.isEmpty()) {
        return;
    }
    painter.drawImage(contents.topLeft(), rendered(contents.size(), devicePixelRatioF()));
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(contents.adjusted(0, 0, -1, -1));
    }
}

// The events stay accepted (the base classes would pass them on to the parent): a move over a
// surface must not also count as a move over the window behind it.
void FigureSurface::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button(), event->globalPosition().toPoint());
}

void FigureSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        emit clicked(event->button());
    }
}

void FigureSurface::mouseMoveEvent(QMouseEvent* /*event*/) {
    emit mouseMoved();
}

void FigureSurface::leaveEvent(QEvent* event) {
    emit mouseLeft();
    QFrame::leaveEvent(event);
}

// The figure that has the focus is the next step of the workflow: Return or Space runs it as a
// click does.
void FigureSurface::keyPressEvent(QKeyEvent* event) {
    if (isClickKey(*event)) {
        emit clicked(Qt::LeftButton);
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace quendrix::ui
