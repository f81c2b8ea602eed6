#include "print/PagePrinter.h"
#include "base/Version.h"

#include "io/OutputFile.h"
#include "print/PageGeometry.h"
#include "ui/BusyCursor.h"
#include "ui/DialogService.h"
#include "ui/PrinterPage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>

namespace quendrix {
namespace {

PrintOutcome failed(const QString& why) {
    return {PrintOutcome::Kind::Failed, QStringLiteral("The page was not printed: ") + why, {}};
}

/// Draws the copies on an active painter; false when the device refuses a new page.
bool drawCopies(QPainter& painter, QPagedPaintDevice& device, int copies,
                const PageProcedure& drawPage) {
    for (int c = 0; c < copies; ++c) {
        if (c > 0 && !device.newPage()) {
            return false;
        }
        ui::PrinterPage page(painter);
        drawPage(page);
    }
    return true;
}

PrintOutcome printToPdf(const QPrinter& printer, int copies, const QString& documentName,
                        const PageProcedure& drawPage) {
    const QString path = printer.outputFileName();
    if (path.isEmpty()) {
        return failed(QStringLiteral("no PDF file was named"));
    }
    const QByteArray pdf = renderPdf(printer, copies, documentName, drawPage);
    if (pdf.isEmpty()) {
        return failed(QStringLiteral("the PDF could not be built"));
    }
    if (Status st = writeOutputFile(QFile::encodeName(path).toStdString(),
                                    std::string_view(pdf.constData(), size_t(pdf.size())));
        !st) {
        return failed(QString::fromLocal8Bit(st.reason().c_str()));
    }
    return {PrintOutcome::Kind::Printed,
            QStringLiteral("Printed to %1").arg(QFileInfo(path).fileName()), path};
}

PrintOutcome printOnPrinter(QPrinter& printer, const PageProcedure& drawPage) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return failed(QStringLiteral("the printer %1 could not be opened")
                          .arg(printer.printerName().isEmpty() ? QStringLiteral("(none)")
                                                               : printer.printerName()));
    }
    // A printer that cannot make copies itself gets the page once per copy.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    if (!drawCopies(painter, printer, copies, drawPage)) {
        printer.abort();
        painter.end();
        return failed(QStringLiteral("the printer refused a page"));
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        return failed(QStringLiteral("the printer reported an error"));
    }
    return {PrintOutcome::Kind::Printed,
            QStringLiteral("Printed on %1").arg(printer.printerName()),
            {}};
}

} // namespace

QByteArray renderPdf(const QPrinter& printer, int copies, const QString& documentName,
                     const PageProcedure& drawPage) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(printer.pageLayout());
        writer.setResolution(int(ui::DotsPerInch));
        writer.setCreator(QString::fromLatin1(ProgramTitle));
        writer.setTitle(documentName);
        QPainter painter;
        if (!painter.begin(&writer)) {
            return {};
        }
        if (!drawCopies(painter, writer, copies, drawPage) || !painter.end()) {
            return {};
        }
    }
    return buffer.data();
}

PrintOutcome printWindowPage(QWidget* parent, ui::DialogService& dialogs,
                             const SessionState& settings, const QString& documentName,
                             const QString& proposedPdf, const PageProcedure& drawPage) {
    if (const Status st = checkPrintSettings(settings); !st) {
        return {PrintOutcome::Kind::Refused,
                QStringLiteral("The page was not printed: ") + QString::fromStdString(st.reason()),
                {}};
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    // Naming a PDF switches to PDF output; switching back keeps the name for the dialog's file
    // box and the system's printer selected (without a printer the PDF stays). The dialog sets or
    // clears the name as the user chooses.
    printer.setOutputFileName(proposedPdf);
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!dialogs.print(parent, printer)) {
        return {};
    }
    // A printer prints on paper; the proposed name was only for the dialog's file box.
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        printer.setOutputFileName(QString());
    }
    ui::BusyCursor busy;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return printToPdf(printer, std::max(1, printer.copyCount()), documentName, drawPage);
    }
    return printOnPrinter(printer, drawPage);
}

} // namespace quendrix
