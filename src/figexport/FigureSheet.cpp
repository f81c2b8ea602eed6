#include "figexport/FigureSheet.h"
#include "base/Version.h"

#include "figexport/PngEncoder.h"
#include "figures/ChartFigures.h"
#include "ui/FigureScene.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QSvgGenerator>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace quendrix {
namespace {

constexpr double Margin = 12;
// Loading the fonts reads fontconfig's configuration and caches: some 2 MiB, and 6 MiB when it
// has to read the fonts themselves for want of a cache.
constexpr std::size_t FontRoom = std::size_t(16) << 20;
// Finishing a PDF compresses the page, then each font subset, each time through two buffers of
// 16 MiB: 32 MiB, with room for the fonts' tables besides.
constexpr std::size_t PdfEndRoom = std::size_t(40) << 20;
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

/// A text as a sheet shows it. Names come from a data file's header and may hold control
/// characters: no font draws them and XML 1.0 forbids them even escaped, so an SVG holding one
/// would not open. Each such character, and anything else that is not a whole character, shows
/// as U+FFFD, the same in every format.
QString shown(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.category() == QChar::Other_Control || c.isSurrogate() || c.isNonCharacter()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

/// The width the Y range needs left of a figure.
double rangeWidth(const QFont& font, const AxisCaptions& c) {
    const QFontMetricsF fm(font);
    return std::ceil(
        std::max({fm.horizontalAdvance(shown(c.lower)), fm.horizontalAdvance(shown(c.upper)),
                  fm.horizontalAdvance(QStringLiteral("-00000"))}));
}

/// Where a figure's surface stands below the title and right of the Y axis captions.
QPointF figureOrigin(const QFont& font, const AxisCaptions& c) {
    const double line = lineHeight(font);
    return {Margin + line + Gap + rangeWidth(font, c) + Gap,
            Margin + lineHeight(titleFont(font)) + 2 * Gap};
}

/// Every text enters a sheet here, so that no format is given one it cannot hold.
void addText(FigureSheet& sheet, FigureSheet::Text text) {
    text.text = shown(std::move(text.text));
    sheet.texts.push_back(std::move(text));
}

/// The title, the range at the ends of both axes and the axis names around `box`, with a thin
/// frame just outside it.
void addCaptions(FigureSheet& sheet, const QRectF& box, const AxisCaptions& c) {
    using Style = FigureSheet::Text::Style;
    const double line = lineHeight(sheet.font);
    const double labels = rangeWidth(sheet.font, c);
    const double yLabelLeft = box.left() - Gap - labels;
    addText(sheet, {QRectF(Margin, Margin, sheet.size.width() - 2 * Margin,
                           lineHeight(titleFont(sheet.font))),
                    c.title, Qt::AlignLeft | Qt::AlignTop, Style::Title});
    addText(sheet,
            {QRectF(yLabelLeft, box.top(), labels, line), c.upper, Qt::AlignRight | Qt::AlignTop});
    addText(sheet, {QRectF(yLabelLeft, box.bottom() - line, labels, line), c.lower,
                    Qt::AlignRight | Qt::AlignBottom});
    addText(sheet, {QRectF(yLabelLeft - Gap - line, box.top(), line, box.height()), c.yName,
                    Qt::AlignCenter, Style::Plain, true});
    const double row = box.bottom() + Gap;
    addText(sheet, {QRectF(box.left(), row, box.width() / 2, line), c.lower,
                    Qt::AlignLeft | Qt::AlignTop});
    addText(sheet, {QRectF(box.center().x(), row, box.width() / 2, line), c.upper,
                    Qt::AlignRight | Qt::AlignTop});
    addText(sheet, {QRectF(box.left(), row + line, box.width(), line), c.xName,
                    Qt::AlignHCenter | Qt::AlignTop});
}

double titleRight(const QFont& font, const AxisCaptions& c) {
    return Margin + std::ceil(QFontMetricsF(titleFont(font)).horizontalAdvance(shown(c.title)));
}

/// Below the X axis: its range and its name.
double belowAxis(const QFont& font) {
    return Gap + 2 * lineHeight(font) + Margin;
}

/// A buffer that remembers a write it could not take for want of memory: the generators carry on
/// without a word, and a file cut short must not be written.
class WholeBuffer : public QBuffer {
  public:
    using QBuffer::QBuffer;
    bool whole() const { return whole_; }

  protected:
    qint64 writeData(const char* data, qint64 length) override {
        qint64 written = -1;
        try {
            written = QBuffer::writeData(data, length);
        } catch (const std::bad_alloc&) {
            // A writer may flush from its destructor, where a throw would end the program.
        }
        whole_ = whole_ && written == length;
        return written;
    }

  private:
    bool whole_ = true;
};

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

FigureSheet figureSheet(const ui::FigureScene& scene, const AxisCaptions& captions,
                        const QFont& font) {
    FigureSheet sheet;
    sheet.font = font;
    const QRectF box(figureOrigin(font, captions), QSizeF(SheetFigureSide, SheetFigureSide));
    sheet.size = QSize(int(std::ceil(std::max(box.right(), titleRight(font, captions)) + Margin)),
                       int(std::ceil(box.bottom() + belowAxis(font))));
    sheet.surfaces.push_back({&scene, box});
    addCaptions(sheet, box, captions);
    return sheet;
}

FigureSheet chartSheet(const ui::FigureScene& main, const ui::FigureScene& section,
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
            addText(sheet,
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

namespace {

/// Whether `bytes` more of address space can be had: made sure of by taking them and giving them
/// back, for what follows at once to take.
bool roomFor(std::size_t bytes) {
    void* room =
        mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) {
        return false;
    }
    munmap(room, bytes);
    return true;
}

} // namespace

bool loadSheetFonts(const QFont& font) {
    if (!roomFor(FontRoom)) {
        return false;
    }
    for (const QFont& f : {font, boldFont(font), titleFont(font)}) {
        (void)QFontMetricsF(f).height();
    }
    return true;
}

bool keepPaintingThread() {
    static QPointer<QThreadPool> kept;
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr || pool == kept) {
        return pool != nullptr;
    }
    // A fill needs a few buffers of some KiB; the margin is for what starting a thread allocates
    // besides its stack.
    constexpr int Stack = 1 << 20;
    if (!roomFor(2 * Stack)) {
        return false;
    }
    pool->setMaxThreadCount(1);
    pool->setExpiryTimeout(-1);
    pool->setStackSize(Stack);
    pool->start([] {});
    kept = pool;
    return true;
}

bool paintSheet(QPainter& painter, const FigureSheet& sheet) {
    if (!painter.isActive()) {
        return false;
    }
    for (const FigureSheet::Surface& s : sheet.surfaces) {
        if (!s.scene->complete()) {
            return false;
        }
    }
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(sheet.size)), Qt::white);
    for (const FigureSheet::Surface& s : sheet.surfaces) {
        // A frame one pixel wide just outside the figure: the figure covers the rest of it.
        painter.fillRect(s.box.adjusted(-1, -1, 1, 1), QColor(96, 96, 96));
        if (painter.paintEngine()->type() == QPaintEngine::Raster) {
            // As the window paints it: rendered at its own origin, then copied in place.
            const QImage figure =
                s.scene->render(s.box.size().toSize(), painter.device()->devicePixelRatioF());
            if (figure.isNull()) {
                painter.restore();
                return false;
            }
            painter.drawImage(s.box.topLeft(), figure);
        } else {
            s.scene->paint(painter, s.box);
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
    return true;
}

QImage sheetImage(const FigureSheet& sheet) {
    QImage image(sheet.size * PngScale, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(PngScale);
    // Printed at the screen's 96 dots per inch times the scale, it has its screen size.
    const int dotsPerMetre = int(std::lround(96 * PngScale / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    if (!paintSheet(painter, sheet) || !painter.end()) {
        return {};
    }
    return image;
}

QByteArray encodeSheet(const FigureSheet& sheet, FigureFormat format) {
    if (format == FigureFormat::Png) {
        return encodePng(sheetImage(sheet));
    }
    const QString title = sheet.texts.empty() ? QString() : sheet.texts.front().text;
    // The SVG and PDF writers finish their file as the painter ends, allocating as they go, and
    // a painter still active ends itself in its destructor, where memory running out would end
    // the program. So it is ended here, and when memory runs out, the writer, its painter and
    // its buffer are left as they are rather than destroyed.
    auto bytes = std::make_unique<QByteArray>();
    auto buffer = std::make_unique<WholeBuffer>(bytes.get());
    std::unique_ptr<QPaintDevice> device;
    auto painter = std::make_unique<QPainter>();
    bool painted = false;
    try {
        buffer->open(QIODevice::WriteOnly);
        if (format == FigureFormat::Svg) {
            auto svg = std::make_unique<QSvgGenerator>();
            svg->setOutputDevice(buffer.get());
            svg->setSize(sheet.size);
            svg->setViewBox(QRect(QPoint(0, 0), sheet.size));
            svg->setResolution(96);
            svg->setTitle(title);
            device = std::move(svg);
        } else {
            auto pdf = std::make_unique<QPdfWriter>(buffer.get());
            pdf->setResolution(96);
            pdf->setPageSize(QPageSize(QSizeF(sheet.size) * 72.0 / 96.0, QPageSize::Point,
                                       QString(), QPageSize::ExactMatch));
            pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf->setCreator(QString::fromLatin1(ProgramTitle));
            pdf->setTitle(title);
            device = std::move(pdf);
        }
        painted = painter->begin(device.get()) && paintSheet(*painter, sheet);
        // Finishing a PDF embeds the fonts, and some of the memory for that is used unchecked.
        if (painted && format == FigureFormat::Pdf && !roomFor(PdfEndRoom)) {
            throw std::bad_alloc();
        }
        if (painter->isActive()) {
            painted = painter->end() && painted;
        }
    } catch (const std::bad_alloc&) {
        (void)painter.release();
        (void)device.release();
        (void)buffer.release();
        (void)bytes.release();
        throw;
    }
    return painted && buffer->whole() ? *bytes : QByteArray();
}

} // namespace quendrix
