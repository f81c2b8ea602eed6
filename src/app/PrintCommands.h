#pragma once

#include "print/ChartPage.h"
#include "print/MainPage.h"
#include "print/PagePrinter.h"

#include <QObject>
#include <QPointer>

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
}
class CalibrationSession;
class ControlPanel;
class FigurePanel;
class FigureSynchroniser;
class PrintOptionsDialog;
class StatusLine;

/// The printing and copying of both windows: their pages (`PrintAll`, `PrintChartWindow`), the
/// one print options dialog that both open, and the picture copies of the main window's eight
/// figures, whose "&Copy" items are enabled exactly while their figure is drawn.
class PrintCommands : public QObject {
    Q_OBJECT
  public:
    PrintCommands(CalibrationSession& session, const ControlPanel& controls,
                  const FigurePanel& figures, const FigureSynchroniser& sync,
                  ui::DialogService& dialogs, StatusLine& status, QWidget& window);

    /// What the page shows now.
    MainPage mainPage() const;
    /// Prints the page through the print dialog and says in the status line how it went.
    PrintOutcome printMainWindow();
    /// The calibration chart window's `Print`: its page as `view` shows it (the double-resolution
    /// matrices built), the dialog over `chart`, the outcome in the chart's status line.
    PrintOutcome printChartWindow(QWidget* chart, StatusLine& chartStatus, const ChartView& view);

    /// The PDF the print dialog proposes for a page printed from `window`: file 1's name with
    /// ".pdf" ("calibration.pdf" before an import), in the folder of the last file saved or
    /// printed from the windows (the home folder before the first).
    QString proposedPdf(QWidget* window) const;

    /// Shows the print options dialog; the window opening it sets its "PrintOptions" flag first.
    void showPrintOptions();
    PrintOptionsDialog* printOptions() const;

    /// Takes over the copy items of Fig.1 .. Fig.8, those of the "&Copy" submenu and those of the
    /// figures' pop-up menus: each copies its figure and is enabled exactly while it is drawn.
    void attachCopyItems(QMenu* copy, const std::array<QAction*, 8>& items,
                         const std::array<QAction*, 8>& figureItems);
    /// The "&Copy" submenu's item for figure n.
    QAction* copyItem(int n) const { return copyItems_[size_t(n - 1)]; }
    /// Figure n's picture to the clipboard, whether drawn or not.
    void copyFigure(int n);
    /// Enables each copy item exactly when its figure is drawn.
    void syncCopyItems();

    void closeDialogs();

  private:
    PrintOutcome print(QWidget* parent, StatusLine& status, const PageProcedure& drawPage);

    CalibrationSession& session_;
    const ControlPanel& controls_;
    const FigurePanel& figures_;
    const FigureSynchroniser& sync_;
    ui::DialogService& dialogs_;
    StatusLine& status_;
    QWidget& window_;
    QPointer<PrintOptionsDialog> printOptions_;
    std::array<QAction*, 8> copyItems_{};
    std::array<QAction*, 8> figureCopyItems_{};
};

} // namespace quendrix
