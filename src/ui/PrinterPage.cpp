#include "ui/PrinterPage.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace quendrix::ui {

PrinterPage::PrinterPage(QPainter& painter)
    : painter_(painter), sx_(painter.device()->logicalDpiX() / TwipsPerInch),
      sy_(painter.device()->logicalDpiY() / TwipsPerInch) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    setFont(QStringLiteral("Arial"), 10);
}

PrinterPage::~PrinterPage() {
    flush();
}

double PrinterPage::dotsToDevice(int dots) const {
    return dots * TwipsPerDot * sx_;
}

void PrinterPage::setLineWidth(int dots) {
    if (std::max(dots, 1) != lineWidth_) {
        flush();
        lineWidth_ = std::max(dots, 1);
    }
}

void PrinterPage::point(double x, double y, const QColor& colour) {
    flushCircles();
    const double w = dotsToDevice(lineWidth_);
    const QPointF c = map(x, y);
    const QRectF dot(c.x() - w / 2, c.y() - w / 2, w, w);
    const QRgb rgb = colour.rgba();
    const auto [at, added] = batchOf_.try_emplace(rgb, points_.size());
    const std::size_t batch = at->second;
    if (added) {
        points_.push_back({rgb, {}});
    }
    std::vector<QRectF>& rects = points_[batch].rects;
    // A dot that overlaps the one just drawn above or below it in the same colour widens that
    // one into a bar: a column of a matrix figure becomes a few bars.
    if (batch == lastBatch_ && !rects.empty()) {
        QRectF& last = rects.back();
        if (last.left() == dot.left() && dot.top() <= last.bottom() && dot.bottom() >= last.top()) {
            last.setTop(std::min(last.top(), dot.top()));
            last.setBottom(std::max(last.bottom(), dot.bottom()));
            return;
        }
    }
    lastBatch_ = batch;
    rects.push_back(dot);
}

void PrinterPage::flushPoints() {
    if (points_.empty()) {
        return;
    }
    painter_.setPen(Qt::NoPen);
    for (const PointBatch& batch : points_) {
        painter_.setBrush(QColor::fromRgba(batch.colour));
        painter_.drawRects(batch.rects.data(), int(batch.rects.size()));
    }
    points_.clear();
    batchOf_.clear();
}

void PrinterPage::flush() {
    flushPoints();
    flushCircles();
}

void PrinterPage::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    flush();
    painter_.setPen(QPen(colour, dotsToDevice(lineWidth_), Qt::SolidLine, Qt::RoundCap));
    painter_.drawLine(map(x1, y1), map(x2, y2));
}

void PrinterPage::rectangle(double x1, double y1, double x2, double y2, const QColor& colour) {
    flush();
    painter_.setPen(
        QPen(colour, dotsToDevice(lineWidth_), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(map(x1, y1), map(x2, y2)).normalized());
}

void PrinterPage::filledCircle(double x, double y, double radius, const QColor& colour) {
    flushPoints();
    // The outline adds half its width all round.
    const QPen pen(colour, 2 * radius * sx_ + dotsToDevice(lineWidth_), Qt::SolidLine,
                   Qt::RoundCap);
    if (pen != circlePen_) {
        flushCircles();
        circlePen_ = pen;
    }
    circles_.push_back(map(x, y));
}

void PrinterPage::flushCircles() {
    if (!circles_.empty()) {
        painter_.setPen(circlePen_);
        painter_.drawPoints(circles_.data(), int(circles_.size()));
        circles_.clear();
    }
}

void PrinterPage::setClip(const QRectF& box) {
    flush();
    painter_.setClipRect(QRectF(map(box.left(), box.top()), map(box.right(), box.bottom())));
}

void PrinterPage::clearClip() {
    flush();
    painter_.setClipping(false);
}

void PrinterPage::setFont(const QString& family, double pointSize) {
    font_ = QFont(family);
    // Point sizes follow the device's resolution, as the coordinates do.
    if (pointSize > 0) {
        font_.setPointSizeF(pointSize);
    }
}

void PrinterPage::text(double x, double y, const QString& text) {
    flush();
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(map(x, y), QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop, text);
}

double PrinterPage::lineHeight() const {
    return QFontMetricsF(font_, painter_.device()).lineSpacing() / sy_;
}

} // namespace quendrix::ui
