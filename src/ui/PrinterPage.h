#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QRectF>
#include <QString>

#include <unordered_map>
#include <vector>

class QPainter;

namespace quendrix::ui {

/// Page coordinates are twips: 1440 per inch, origin at the top left of the printable area.
inline constexpr double TwipsPerInch = 1440;
/// Line widths count printer dots of 1/600 inch, so a page looks the same on every printer and
/// in a PDF: a cell of 4 dots just fills the 9.4-twip pitch of a matrix figure.
inline constexpr double DotsPerInch = 600;
inline constexpr double TwipsPerDot = TwipsPerInch / DotsPerInch;

/// The printer as the page procedures see it: points, lines, outlines, filled circles and text
/// lines at positions in twips, with a line width in dots, on any paint device (a printer, a
/// PDF being built in memory, an image).
class PrinterPage {
  public:
    /// Draws with `painter`, which must be active on its device.
    explicit PrinterPage(QPainter& painter);
    ~PrinterPage();
    PrinterPage(const PrinterPage&) = delete;
    PrinterPage& operator=(const PrinterPage&) = delete;

    /// Width of lines, outlines and points in dots; at least one.
    void setLineWidth(int dots);
    int lineWidth() const { return lineWidth_; }

    /// A square dot of the line width centred at (x, y). Points are batched until a call of
    /// another kind, a new width or `flush`, then drawn colour by colour: a page's cells are
    /// tens of thousands of dots of a few hundred colours, and their order does not show, since
    /// cells of one figure hardly overlap.
    void point(double x, double y, const QColor& colour);
    void line(double x1, double y1, double x2, double y2, const QColor& colour);
    /// The outline of the box with corners (x1, y1) and (x2, y2).
    void rectangle(double x1, double y1, double x2, double y2, const QColor& colour);
    /// A circle of `radius` twips, outlined with the line width and filled, both in `colour`.
    /// Circles are batched as points are, but drawn in their order.
    void filledCircle(double x, double y, double radius, const QColor& colour);

    /// Drawing outside `box` (twips) leaves no mark until the clip is cleared.
    void setClip(const QRectF& box);
    void clearClip();

    void setFont(const QString& family, double pointSize);
    /// One line of text in black with its top left corner at (x, y).
    void text(double x, double y, const QString& text);
    /// How far a text line moves the print position down, in twips.
    double lineHeight() const;

    /// Draws what is still batched; the painter can then be ended or given a new page.
    void flush();

  private:
    QPointF map(double x, double y) const { return {x * sx_, y * sy_}; }
    double dotsToDevice(int dots) const;
    void flushPoints();
    void flushCircles();

    QPainter& painter_;
    double sx_;
    double sy_;
    int lineWidth_ = 1;
    QFont font_;
    struct PointBatch {
        QRgb colour;
        std::vector<QRectF> rects;
    };
    std::vector<PointBatch> points_;
    std::unordered_map<QRgb, std::size_t> batchOf_;
    std::size_t lastBatch_ = 0;
    // A scatter figure's samples: discs of one colour and size, each a round dot (a PDF writes
    // a dot in a few bytes, a circle in a few hundred).
    std::vector<QPointF> circles_;
    QPen circlePen_;
};

} // namespace quendrix::ui
