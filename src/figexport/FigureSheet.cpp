#include "figexport/FigureSheet.h"

#include "figexport/PngEncoder.h"
#include "figures/ChartFigures.h"
#include "ui/FigureSurface.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

constexpr double Margin = 12;
constexpr double Gap = 4;
// Where the panel stands right of the section, in the chart window's twips.
constexpr double DesignPanelOffset = 600;

QFont boldFont(QFont font) {
    font.setBold(true);
    return font;
}

QFont titleFont(const QFont& font) {
    QFont title = boldFont(font);
    title.setPixelSize(font.pixelSize() * 7 / 6);
    return title;
}

double lineHeight(const QFont& font) {
    return std::ceil(QFontMetricsF(font).height());
}

/// The width the Y range needs left of a figure.
double rangeWidth(const QFont& font, const AxisCaptions& c) {
    const QFontMetricsF fm(font);
    return std::ceil(std::max({fm.horizontalAdvance(c.lower), fm.horizontalAdvance(c.upper),
                               fm.horizontalAdvance(QStringLiteral("-00000"))}));
}

/// Where a figure's surface stands below the title and right of the Y axis captions.
QPointF figureOrigin(const QFont& font, const AxisCaptions& c) {
    const double line = lineHeight(font);
    return {Margin + line + Gap + rangeWidth(font, c) + Gap,
            Margin + lineHeight(titleFont(font)) + 2 * Gap};
}

/// The title, the range at the ends of both axes and the axis names around `box`, with a thin
/// frame just outside it.
void addCaptions(FigureSheet& sheet, const QRectF& box, const AxisCaptions& c) {
    const double line = lineHeight(sheet.font);
    const double labels = rangeWidth(sheet.font, c);
    const double yLabelLeft = box.left() - Gap - labels;
    auto& t = sheet.texts;
    t.push_back(
        {QRectF(Margin, Margin, sheet.size.width() - 2 * Margin, lineHeight(titleFont(sheet.font))),
         c.title, Qt::AlignLeft | Qt::AlignTop, FigureSheet::Text::Style::Title});
    t.push_back(
        {QRectF(yLabelLeft, box.top(), labels, line), c.upper, Qt::AlignRight | Qt::AlignTop});
    t.push_back({QRectF(yLabelLeft, box.bottom() - line, labels, line), c.lower,
                 Qt::AlignRight | Qt::AlignBottom});
    t.push_back({QRectF(yLabelLeft - Gap - line, box.top(), line, box.height()), c.yName,
                 Qt::AlignCenter, FigureSheet::Text::Style::Plain, true});
    const double row = box.bottom() + Gap;
    t.push_back(
        {QRectF(box.left(), row, box.width() / 2, line), c.lower, Qt::AlignLeft | Qt::AlignTop});
    t.push_back({QRectF(box.center().x(), row, box.width() / 2, line), c.upper,
                 Qt::AlignRight | Qt::AlignTop});
    t.push_back({QRectF(box.left(), row + line, box.width(), line), c.xName,
                 Qt::AlignHCenter | Qt::AlignTop});
}

double titleRight(const QFont& font, const AxisCaptions& c) {
    return Margin + std::ceil(QFontMetricsF(titleFont(font)).horizontalAdvance(c.title));
}

/// Below the X axis: its range and its name.
double belowAxis(const QFont& font) {
    return Gap + 2 * lineHeight(font) + Margin;
}

void paintText(QPainter& painter, const FigureSheet& sheet, const FigureSheet::Text& text) {
    using Style = FigureSheet::Text::Style;
    painter.setFont(text.style == Style::Title  ? titleFont(sheet.font)
                    : text.style == Style::Bold ? boldFont(sheet.font)
                                                : sheet.font);
    if (!text.vertical) {
        painter.drawText(text.box, int(text.alignment), text.text);
        return;
    }
    painter.save();
    painter.translate(text.box.center());
    painter.rotate(-90);
    const QSizeF turned(text.box.height(), text.box.width());
    painter.drawText(QRectF(QPointF(-turned.width() / 2, -turned.height() / 2), turned),
                     int(text.alignment), text.text);
    painter.restore();
}

} // namespace

FigureSheet figureSheet(const ui::FigureSurface& surface, const AxisCaptions& captions,
                        const QFont& font) {
    FigureSheet sheet;
    sheet.font = font;
    const QRectF box(figureOrigin(font, captions), QSizeF(SheetFigureSide, SheetFigureSide));
    sheet.size = QSize(int(std::ceil(std::max(box.right(), titleRight(font, captions)) + Margin)),
                       int(std::ceil(box.bottom() + belowAxis(font))));
    sheet.surfaces.push_back({&surface, box});
    addCaptions(sheet, box, captions);
    return sheet;
}

FigureSheet chartSheet(const ui::FigureSurface& main, const ui::FigureSurface& section,
                       const IntervalReadout* readout, const AxisCaptions& captions,
                       const QFont& font) {
    FigureSheet sheet;
    sheet.font = font;
    const double perTwip = SheetChartSide / ChartDesign::FigureSide;
    const QRectF box(figureOrigin(font, captions), QSizeF(SheetChartSide, SheetChartSide));
    const QRectF bars(box.right() + std::round(ChartDesign::FigureGap * perTwip), box.top(),
                      std::round(ChartDesign::SectionWidth * perTwip), box.height());
    const double panelLeft = bars.right() + DesignPanelOffset * perTwip;
    double right = panelLeft;
    if (readout != nullptr) {
        sheet.strokes =
            readoutStrokes(*readout, {bars.right(), bars.top(), bars.height(), perTwip});
        // The panel as the window prints it: bold headers, values indented, in line pitches.
        const QFontMetricsF plain(font);
        const QFontMetricsF bold(boldFont(font));
        const double pitch = plain.lineSpacing();
        for (const PanelLine& line : panelLayout(*readout)) {
            const QPointF at(panelLeft + line.x * pitch, bars.top() + line.y * pitch);
            const double width = (line.bold ? bold : plain).horizontalAdvance(line.text) + 1;
            sheet.texts.push_back(
                {QRectF(at, QSizeF(width, pitch)), line.text, Qt::AlignLeft | Qt::AlignTop,
                 line.bold ? FigureSheet::Text::Style::Bold : FigureSheet::Text::Style::Plain});
            right = std::max(right, at.x() + width);
        }
    }
    sheet.size = QSize(int(std::ceil(std::max(right, titleRight(font, captions)) + Margin)),
                       int(std::ceil(box.bottom() + belowAxis(font))));
    sheet.surfaces.push_back({&main, box});
    sheet.surfaces.push_back({&section, bars});
    addCaptions(sheet, box, captions);
    return sheet;
}

void paintSheet(QPainter& painter, const FigureSheet& sheet) {
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(sheet.size)), Qt::white);
    for (const FigureSheet::Surface& s : sheet.surfaces) {
        // A frame one pixel wide just outside the figure: the figure covers the rest of it.
        painter.fillRect(s.box.adjusted(-1, -1, 1, 1), QColor(96, 96, 96));
        if (painter.paintEngine()->type() == QPaintEngine::Raster) {
            // As the window paints it: rendered at its own origin, then copied in place.
            painter.drawImage(
                s.box.topLeft(),
                s.surface->render(s.box.size().toSize(), painter.device()->devicePixelRatioF()));
        } else {
            s.surface->paint(painter, s.box);
        }
    }
    for (const ReadoutStroke& s : sheet.strokes) {
        painter.setPen(QPen(s.colour, 1, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(s.line);
    }
    painter.setPen(Qt::black);
    for (const FigureSheet::Text& text : sheet.texts) {
        paintText(painter, sheet, text);
    }
    painter.restore();
}

QImage sheetImage(const FigureSheet& sheet) {
    QImage image(sheet.size * PngScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(PngScale);
    // Printed at the screen's 96 dots per inch times the scale, it has its screen size.
    const int dotsPerMetre = int(std::lround(96 * PngScale / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    paintSheet(painter, sheet);
    return image;
}

QByteArray encodeSheet(const FigureSheet& sheet, FigureFormat format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString title = sheet.texts.empty() ? QString() : sheet.texts.front().text;
    switch (format) {
    case FigureFormat::Png:
        return encodePng(sheetImage(sheet));
    case FigureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(sheet.size);
        svg.setViewBox(QRect(QPoint(0, 0), sheet.size));
        svg.setResolution(96);
        svg.setTitle(title);
        QPainter painter(&svg);
        paintSheet(painter, sheet);
        break;
    }
    case FigureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(sheet.size) * 72.0 / 96.0, QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("Quendrix 3.0"));
        pdf.setTitle(title);
        QPainter painter(&pdf);
        paintSheet(painter, sheet);
        break;
    }
    }
    return bytes;
}

} // namespace quendrix
