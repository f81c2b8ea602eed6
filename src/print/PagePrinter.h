#pragma once

#include "session/SessionState.h"

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
class PrinterPage;
} // namespace ui

/// How a print command ended. Only a cancelled one says nothing.
struct PrintOutcome {
    enum class Kind { Printed, Cancelled, Refused, Failed };
    Kind kind = Kind::Cancelled;
    QString message; ///< for the status line
    QString pdfPath; ///< the PDF written; empty when printed on a printer
};

/// Draws one copy of a window's page.
using PageProcedure = std::function<void(ui::PrinterPage&)>;

/// Starting a printout, the same for every window: print options that cannot give a page are
/// refused before any dialog; the print dialog picks a printer or a PDF file (proposing
/// `proposedPdf` while keeping the printer it finds selected), the copies and the orientation;
/// then the page is drawn once per copy. A PDF is built in memory and written through the one
/// output writer, so a failure leaves no half-written file and an existing file as it was. A
/// printer that cannot be opened, or fails on the page, is reported.
PrintOutcome printWindowPage(QWidget* parent, ui::DialogService& dialogs,
                             const SessionState& settings, const QString& documentName,
                             const QString& proposedPdf, const PageProcedure& drawPage);

/// The PDF of `copies` pages drawn by `drawPage` on the printer's paper, orientation and margins;
/// empty on failure.
QByteArray renderPdf(const QPrinter& printer, int copies, const QString& documentName,
                     const PageProcedure& drawPage);

} // namespace quendrix
