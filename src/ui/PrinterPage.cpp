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
        flushPoints();
        lineWidth_ = std::max(dots, 1);
    }
}

void PrinterPage::point(double x, double y, const QColor& colour) {
    if (colour != pointColour_) {
        flushPoints();
        pointColour_ = colour;
    }
    const double w = dotsToDevice(lineWidth_);
    const QPointF c = map(x, y);
    points_.emplace_back(c.x() - w / 2, c.y() - w / 2, w, w);
}

void PrinterPage::flushPoints() {
    if (points_.empty()) {
        return;
    }
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(pointColour_);
    painter_.drawRects(points_.data(), int(points_.size()));
    points_.clear();
}

void PrinterPage::flush() {
    flushPoints();
}

void PrinterPage::line(double x1, double y1, double x2, double y2, const QColor& colour) {
    flushPoints();
    painter_.setPen(QPen(colour, dotsToDevice(lineWidth_), Qt::SolidLine, Qt::RoundCap));
    painter_.drawLine(map(x1, y1), map(x2, y2));
}

void PrinterPage::rectangle(double x1, double y1, double x2, double y2, const QColor& colour) {
    flushPoints();
    painter_.setPen(
        QPen(colour, dotsToDevice(lineWidth_), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(map(x1, y1), map(x2, y2)).normalized());
}

void PrinterPage::filledCircle(double x, double y, double radius, const QColor& colour) {
    flushPoints();
    painter_.setPen(QPen(colour, dotsToDevice(lineWidth_)));
    painter_.setBrush(colour);
    painter_.drawEllipse(map(x, y), radius * sx_, radius * sy_);
}

void PrinterPage::setClip(const QRectF& box) {
    flushPoints();
    painter_.setClipRect(QRectF(map(box.left(), box.top()), map(box.right(), box.bottom())));
}

void PrinterPage::clearClip() {
    flushPoints();
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
    flushPoints();
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(map(x, y), QSizeF(1e6, 1e6)), Qt::AlignLeft | Qt::AlignTop, text);
}

double PrinterPage::lineHeight() const {
    return QFontMetricsF(font_, painter_.device()).lineSpacing() / sy_;
}

} // namespace quendrix::ui
