#include "app/PrintCommands.h"

#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "app/FigureSynchroniser.h"
#include "app/OutputFolder.h"
#include "app/StatusLine.h"
#include "print/PrintOptionsDialog.h"
#include "ui/Clipboard.h"
#include "ui/FigureSurface.h"
#include "ui/Text.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace quendrix {

PrintCommands::PrintCommands(CalibrationSession& session, const ControlPanel& controls,
                             const FigurePanel& figures, const FigureSynchroniser& sync,
                             ui::DialogService& dialogs, StatusLine& status, QWidget& window)
    : session_(session), controls_(controls), figures_(figures), sync_(sync), dialogs_(dialogs),
      status_(status), window_(window) {}

MainPage PrintCommands::mainPage() const {
    std::array<bool, 8> drawn{};
    for (int n = 1; n <= 8; ++n) {
        drawn[size_t(n - 1)] = sync_.drawn(n);
    }
    return {.session = session_,
            .drawn = drawn,
            .fittingLineShown = sync_.fittingLineShown(),
            .showMode = controls_.coefficients.showMode->isChecked(),
            .showAverage = controls_.coefficients.showAverage->isChecked(),
            .lowerText = sync_.committedLower(),
            .upperText = sync_.committedUpper()};
}

PrintOutcome PrintCommands::print(QWidget* parent, StatusLine& status,
                                  const PageProcedure& drawPage) {
    const QString title = QString::fromStdString(session_.state().printTitle);
    const PrintOutcome outcome = printWindowPage(parent, dialogs_, session_.state(),
                                                 title.isEmpty() ? parent->windowTitle() : title,
                                                 proposedPdf(parent), drawPage);
    if (outcome.kind != PrintOutcome::Kind::Cancelled) {
        status.show(outcome.message);
    }
    if (!outcome.pdfPath.isEmpty()) {
        OutputFolder::remember(parent, outcome.pdfPath);
    }
    return outcome;
}

QString PrintCommands::proposedPdf(QWidget* window) const {
    const std::string& file1 = session_.captions().path[0];
    const QString name =
        file1.empty() ? QStringLiteral("calibration") : QFileInfo(ui::qs(file1)).completeBaseName();
    const QString folder = OutputFolder::of(window);
    return QDir(folder.isEmpty() ? QDir::homePath() : folder)
        .filePath(name + QStringLiteral(".pdf"));
}

PrintOutcome PrintCommands::printMainWindow() {
    const MainPage page = mainPage();
    return print(&window_, status_,
                 [&page](ui::PrinterPage& printer) { quendrix::printMainWindow(printer, page); });
}

PrintOutcome PrintCommands::printChartWindow(QWidget* chart, StatusLine& chartStatus,
                                             const ChartView& view) {
    return print(chart, chartStatus, [this, &view](ui::PrinterPage& printer) {
        quendrix::printChartWindow(printer, session_, view);
    });
}

void PrintCommands::showPrintOptions() {
    if (!printOptions_) {
        printOptions_ = new PrintOptionsDialog(session_.state(), &window_);
    }
    printOptions_->present();
}

PrintOptionsDialog* PrintCommands::printOptions() const {
    return printOptions_;
}

void PrintCommands::attachCopyItems(QMenu* copy, const std::array<QAction*, 8>& items,
                                    const std::array<QAction*, 8>& figureItems) {
    copyItems_ = items;
    figureCopyItems_ = figureItems;
    for (int n = 1; n <= 8; ++n) {
        for (QAction* item : {items[size_t(n - 1)], figureItems[size_t(n - 1)]}) {
            connect(item, &QAction::triggered, this, [this, n] {
                if (sync_.drawn(n)) {
                    copyFigure(n);
                }
            });
        }
    }
    // The items follow the figures at every change, so their shortcuts do too.
    connect(copy, &QMenu::aboutToShow, this, &PrintCommands::syncCopyItems);
    syncCopyItems();
}

void PrintCommands::syncCopyItems() {
    for (int n = 1; n <= 8; ++n) {
        for (QAction* item : {copyItems_[size_t(n - 1)], figureCopyItems_[size_t(n - 1)]}) {
            if (item != nullptr) {
                item->setEnabled(sync_.drawn(n));
            }
        }
    }
}

void PrintCommands::copyFigure(int n) {
    ui::putPicture(figures_.figure(n)->image());
}

void PrintCommands::closeDialogs() {
    if (printOptions_) {
        printOptions_->close();
    }
}

} // namespace quendrix
