#pragma once

#include "base/Result.h"
#include "figures/ChartFigures.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
}
class CalibrationSession;
class ChartWindow;
class FigurePanel;
class PrintCommands;
class ResultSaver;

/// The main window's side of the calibration chart: `BuildDetailMatrices` and the one chart
/// window it shows, closed as soon as the data behind it are no longer the session's.
class ChartLauncher {
  public:
    /// `colourSettings` shows the colour settings window when the chart asks for it.
    ChartLauncher(CalibrationSession& session, ui::DialogService& dialogs, ResultSaver& saver,
                  PrintCommands& printing, FigurePanel& figures, QWidget& mainWindow,
                  std::function<void()> colourSettings);
    ~ChartLauncher();

    /// Builds the fine matrices and shows the chart in `mode`: the window already open, updated,
    /// or a new one.
    Status open(ChartMode mode);
    /// Closes the window when the session's fine matrices are no longer current.
    void closeIfStale();
    void close();
    /// The open window, if any.
    ChartWindow* window() const;

  private:
    void restoreFigureLook();

    CalibrationSession& session_;
    ui::DialogService& dialogs_;
    ResultSaver& saver_;
    PrintCommands& printing_;
    FigurePanel& figures_;
    QWidget& mainWindow_;
    std::function<void()> colourSettings_;
    QPointer<ChartWindow> window_;
};

} // namespace quendrix
