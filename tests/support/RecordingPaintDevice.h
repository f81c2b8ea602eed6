#pragma once

#include <QColor>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QTextItem>

#include <climits>
#include <vector>

namespace quendrix::test {

/// One drawing command as it reached the paint engine, in device pixels.
struct Mark {
    enum class Kind { Rect, Line, Ellipse, Dot, Text };
    Kind kind;
    QRectF rect;     ///< rects and ellipses; a text's baseline start in topLeft()
    QLineF line;     ///< lines
    QColor colour;   ///< fill of rects and ellipses, pen of lines and texts
    double penWidth; ///< lines and outlined rects or ellipses; 0 for plain fills
    bool filled;     ///< rects and ellipses with a brush
    QString text;    ///< texts
    QRectF clip;     ///< the clip in force; null when there is none
    QPointF centre() const { return kind == Kind::Line ? line.center() : rect.center(); }
};

/// A paint engine that draws nothing and keeps every command: what a page procedure sends to the
/// printer, checked without a printer, a PDF reader or pixels.
class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    std::vector<Mark> marks;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyPen) {
            pen_ = state.pen();
        }
        if (state.state() & QPaintEngine::DirtyBrush) {
            brush_ = state.brush();
        }
        if (state.state() & (QPaintEngine::DirtyClipRegion | QPaintEngine::DirtyClipPath |
                             QPaintEngine::DirtyClipEnabled)) {
            clip_ = state.isClipEnabled() && state.clipOperation() != Qt::NoClip
                        ? (state.clipRegion().isEmpty() ? state.clipPath().boundingRect()
                                                        : QRectF(state.clipRegion().boundingRect()))
                        : QRectF();
        }
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            shape(Mark::Kind::Rect, rects[i]);
        }
    }
    void drawEllipse(const QRectF& rect) override { shape(Mark::Kind::Ellipse, rect); }
    void drawPoints(const QPointF* points, int count) override {
        const double w = pen_.widthF();
        for (int i = 0; i < count; ++i) {
            marks.push_back({Mark::Kind::Dot,
                             QRectF(points[i] - QPointF(w / 2, w / 2), QSizeF(w, w)),
                             {},
                             pen_.color(),
                             w,
                             true,
                             {},
                             clip_});
        }
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            marks.push_back(
                {Mark::Kind::Line, {}, lines[i], pen_.color(), pen_.widthF(), false, {}, clip_});
        }
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        marks.push_back({Mark::Kind::Text,
                         QRectF(p, QSizeF()),
                         {},
                         pen_.color(),
                         0,
                         false,
                         item.text(),
                         clip_});
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

  private:
    void shape(Mark::Kind kind, const QRectF& rect) {
        const bool outlined = pen_.style() != Qt::NoPen;
        const bool filled = brush_.style() != Qt::NoBrush;
        marks.push_back({kind,
                         rect,
                         {},
                         filled ? brush_.color() : pen_.color(),
                         outlined ? pen_.widthF() : 0,
                         filled,
                         {},
                         clip_});
    }

    QPen pen_;
    QBrush brush_;
    QRectF clip_;
};

/// A page of `size` device pixels at `dpi`, recording what is drawn on it.
class RecordingPaintDevice : public QPaintDevice {
  public:
    explicit RecordingPaintDevice(int dpi = 600, QSize size = {4960, 7016})
        : dpi_(dpi), size_(size) {}

    QPaintEngine* paintEngine() const override { return &engine_; }
    std::vector<Mark>& marks() { return engine_.marks; }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return int(size_.width() * 25.4 / dpi_);
        case PdmHeightMM:
            return int(size_.height() * 25.4 / dpi_);
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }

  private:
    int dpi_;
    QSize size_;
    mutable RecordingEngine engine_;
};

} // namespace quendrix::test
