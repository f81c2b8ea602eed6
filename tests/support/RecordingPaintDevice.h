#pragma once

#include "ui/PrinterPage.h"

#include <gtest/gtest.h>

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextItem>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quendrix::test {

/// One drawing command as it reached the paint engine, in device pixels.
struct Mark {
    enum class Kind { Rect, Line, Dot, Text };
    Kind kind;
    QRectF rect;     ///< rects and dots; a text's baseline start in topLeft()
    QLineF line;     ///< lines
    QColor colour;   ///< fill of rects and dots, pen of lines and texts
    double penWidth; ///< lines, dots and outlined rects; 0 for plain fills
    bool filled;     ///< rects with a brush, and dots
    QString text;    ///< texts
    QRectF clip;     ///< the clip in force; null when there is none
    QPointF centre() const { return kind == Kind::Line ? line.center() : rect.center(); }
};

/// Keeps every command instead of drawing: the printer's view, checked without printer or pixels.
class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    std::vector<Mark> marks;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override {
        pen_ = state.state() & QPaintEngine::DirtyPen ? state.pen() : pen_;
        brush_ = state.state() & QPaintEngine::DirtyBrush ? state.brush() : brush_;
        if (state.state() & (QPaintEngine::DirtyClipRegion | QPaintEngine::DirtyClipPath |
                             QPaintEngine::DirtyClipEnabled)) {
            clip_ = state.isClipEnabled() && state.clipOperation() != Qt::NoClip
                        ? (state.clipRegion().isEmpty() ? state.clipPath().boundingRect()
                                                        : QRectF(state.clipRegion().boundingRect()))
                        : QRectF();
        }
    }
    void drawRects(const QRectF* rects, int count) override {
        const bool filled = brush_.style() != Qt::NoBrush;
        const double width = pen_.style() != Qt::NoPen ? pen_.widthF() : 0;
        for (int i = 0; i < count; ++i) {
            add(Mark::Kind::Rect, rects[i], {}, filled ? brush_.color() : pen_.color(), width,
                filled);
        }
    }
    void drawPoints(const QPointF* points, int count) override {
        const double w = pen_.widthF();
        for (int i = 0; i < count; ++i) {
            add(Mark::Kind::Dot, QRectF(points[i] - QPointF(w / 2, w / 2), QSizeF(w, w)), {},
                pen_.color(), w, true);
        }
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            add(Mark::Kind::Line, {}, lines[i], pen_.color(), pen_.widthF(), false);
        }
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        add(Mark::Kind::Text, QRectF(p, QSizeF()), {}, pen_.color(), 0, false, item.text());
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

  private:
    void add(Mark::Kind kind, const QRectF& rect, const QLineF& line, const QColor& colour,
             double penWidth, bool filled, const QString& text = {}) {
        marks.push_back({kind, rect, line, colour, penWidth, filled, text, clip_});
    }

    QPen pen_;
    QBrush brush_;
    QRectF clip_;
};

/// An A4 page at 600 dots per inch, recording what is drawn on it.
class RecordingPaintDevice : public QPaintDevice {
  public:
    QPaintEngine* paintEngine() const override { return &engine_; }
    std::vector<Mark>& marks() { return engine_.marks; }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        // From PdmWidth: size, millimetres, colours, depth, four resolutions, pixel ratio.
        static constexpr int values[] = {4960, 7016, 209, 297, INT_MAX, 32, 600, 600, 600, 600, 1};
        if (metric == PdmDevicePixelRatioScaled) {
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return metric >= PdmWidth && metric <= PdmDevicePixelRatio ? values[metric - PdmWidth] : 0;
    }

  private:
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

/// The texts in the order they were printed.
inline std::vector<std::string> texts(const std::vector<Mark>& marks) {
    std::vector<std::string> out;
    for (const Mark& m : marks) {
        if (m.kind == Mark::Kind::Text) {
            out.push_back(m.text.toStdString());
        }
    }
    return out;
}

/// The first text mark reading `text`, or null.
inline const Mark* textMark(const std::vector<Mark>& marks, const std::string& text) {
    const auto at = std::find_if(marks.begin(), marks.end(), [&](const Mark& m) {
        return m.kind == Mark::Kind::Text && m.text.toStdString() == text;
    });
    return at == marks.end() ? nullptr : &*at;
}

/// Up to `n` texts from the first reading `first`.
inline std::vector<std::string> textsFrom(const std::vector<Mark>& marks, const std::string& first,
                                          size_t n) {
    const std::vector<std::string> all = texts(marks);
    const auto at = std::find(all.begin(), all.end(), first);
    return {at, at + std::min(n, size_t(all.end() - at))};
}

/// Pages of a PDF file, counted from its page objects.
inline int pdfPages(const std::string& bytes) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).count(page));
}

/// The items of `all` that `keep` keeps.
template <class T, class Keep> std::vector<T> filtered(const std::vector<T>& all, Keep keep) {
    std::vector<T> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out), keep);
    return out;
}

/// The filled rects and dots whose centre lies in `box`.
inline std::vector<Mark> plotted(const std::vector<Mark>& marks, const QRectF& box) {
    return filtered(marks, [&](const Mark& m) { return m.filled && box.contains(m.centre()); });
}

using Cells = std::map<std::pair<int, int>, QRgb>;

/// The cells (i, j), first <= i, j <= last, to which `colour` gives a valid colour.
inline Cells cellsOf(int first, int last, const std::function<QColor(int, int)>& colour) {
    Cells out;
    for (int i = first; i <= last; ++i) {
        for (int j = first; j <= last; ++j) {
            if (const QColor c = colour(i, j); c.isValid()) {
                out[{i, j}] = c.rgb();
            }
        }
    }
    return out;
}

/// The colour over `centre(i, j)` of each cell, first <= i, j <= last, `pitch` pixels apart (j up),
/// from the filled rects in `area`; each `width` pixels wide, and no centre printed twice.
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
