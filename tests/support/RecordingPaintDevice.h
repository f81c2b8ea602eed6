#pragma once

#include "ui/PrinterPage.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QTextItem>

#include <QPainter>

#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
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

/// Device pixels per twip on the recording page: one pixel is one dot of line width.
inline constexpr double PxPerTwip = 600.0 / 1440;

/// What a page procedure sends to the printer.
inline std::vector<Mark> recordPage(const std::function<void(ui::PrinterPage&)>& draw) {
    RecordingPaintDevice device;
    QPainter painter(&device);
    {
        ui::PrinterPage page(painter);
        draw(page);
    }
    painter.end();
    return device.marks();
}

/// Pages of a PDF file, counted from its page objects.
inline int pdfPages(const std::string& bytes) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).count(page));
}

/// The filled rects, dots and circles whose centre lies in `box`.
inline std::vector<Mark> plotted(const std::vector<Mark>& marks, const QRectF& box) {
    std::vector<Mark> out;
    for (const Mark& m : marks) {
        if (m.filled && m.kind != Mark::Kind::Text && box.contains(m.centre())) {
            out.push_back(m);
        }
    }
    return out;
}

using Cells = std::map<std::pair<int, int>, QRgb>;

/// The colour printed over the centre of each cell (i, j), first <= i, j <= last, of a grid whose
/// cells stand `pitch` pixels apart with `centre(i, j)` (j growing upwards), from the filled rects
/// in `area`; each rect must be `width` pixels wide, and no centre may be printed twice.
inline Cells printedCells(const std::vector<Mark>& marks, const QRectF& area, double width,
                          int first, int last, double pitch,
                          const std::function<QPointF(int, int)>& centre) {
    const QPointF origin = centre(first, first);
    const auto column = [&](double x) { return first + (x - origin.x()) / pitch; };
    const auto row = [&](double y) { return first + (origin.y() - y) / pitch; };
    Cells cells;
    for (const Mark& m : plotted(marks, area.adjusted(-width, -width, width, width))) {
        EXPECT_EQ(m.rect.width(), width);
        for (int i = std::max(first, int(std::floor(column(m.rect.left()))));
             i <= std::min(last, int(std::ceil(column(m.rect.right())))); ++i) {
            for (int j = std::max(first, int(std::floor(row(m.rect.bottom()))));
                 j <= std::min(last, int(std::ceil(row(m.rect.top())))); ++j) {
                if (m.rect.contains(centre(i, j))) {
                    EXPECT_TRUE(cells.emplace(std::pair(i, j), m.colour.rgb()).second)
                        << "cell " << i << "," << j << " printed twice";
                }
            }
        }
    }
    return cells;
}

} // namespace quendrix::test
