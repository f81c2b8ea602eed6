#include "ui/ScenePainter.h"

#include "ui/FigureScene.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quendrix::ui {

namespace {

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

void paintItems(QPainter& painter, const SceneLayer& layer, const Mapping& m, qreal dpr) {
    const std::vector<SceneItem>& items = layer.items;
    const qreal minWidth = 1.0 / dpr;
    // Runs of points or lines of one colour and width go to the painter in one call: a figure
    // can hold tens of thousands of them.
    std::vector<QRectF> rects;
    std::vector<QLineF> lines;
    std::size_t i = 0;
    while (i < items.size()) {
        const SceneItem& it = items[i];
        const qreal w = std::max<qreal>(it.width, minWidth);
        auto runEnd = [&](SceneItem::Kind kind) {
            std::size_t j = i;
            while (j < items.size() && items[j].kind == kind && items[j].colour == it.colour &&
                   items[j].width == it.width && items[j].fill == it.fill &&
                   (kind != SceneItem::Kind::Circle || items[j].x2 == it.x2)) {
                ++j;
            }
            return j;
        };
        switch (it.kind) {
        case SceneItem::Kind::Box: {
            const QRectF r(m.map(it.x1, it.y1), m.map(it.x2, it.y2));
            painter.fillRect(r.normalized(), QColor::fromRgba(it.colour));
            ++i;
            break;
        }
        case SceneItem::Kind::Point: {
            const std::size_t end = runEnd(SceneItem::Kind::Point);
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
        case SceneItem::Kind::Line: {
            const std::size_t end = runEnd(SceneItem::Kind::Line);
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
        case SceneItem::Kind::Circle: {
            const std::size_t end = runEnd(SceneItem::Kind::Circle);
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
        case SceneItem::Kind::Text: {
            painter.setPen(QColor::fromRgba(it.colour));
            const QPointF at = m.map(it.x1, it.y1);
            painter.drawText(QRectF(at, QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop,
                             layer.texts[static_cast<std::size_t>(it.index)]);
            ++i;
            break;
        }
        case SceneItem::Kind::Image: {
            // No smooth transform: every pixel fills its footprint in its own colour.
            const QRectF r(m.map(it.x1, it.y1), m.map(it.x2, it.y2));
            drawSharpImage(painter, r, layer.images[static_cast<std::size_t>(it.index)]);
            ++i;
            break;
        }
        }
    }
}

void paintLayer(QPainter& painter, const SceneLayer& layer, const Mapping& m, qreal dpr) {
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

void paintScene(QPainter& painter, const FigureScene& scene, const QRectF& target) {
    const Mapping m{target, target.width() / scene.scaleWidth(),
                    target.height() / scene.scaleHeight()};
    const qreal dpr = painter.device()->devicePixelRatioF();
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, Qt::white);
    if (!scene.layer().fill) {
        paintLayer(painter, scene.picture(), m, dpr);
    }
    paintLayer(painter, scene.layer(), m, dpr);
    painter.restore();
}

} // namespace quendrix::ui
