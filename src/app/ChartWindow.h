#pragma once

#include "app/ChartLayout.h"
#include "app/ChartPresenter.h"
#include "app/MeasurementCommands.h"
#include "print/ChartPage.h"

#include <QMainWindow>

#include <memory>

class QMenu;

namespace quendrix {

namespace ui {
class DialogService;
}
class CalibrationSession;
class PointerReadout;
class PrintCommands;
class ResultSaver;
class StatusLine;

/// `frmOutPut2`, "Calibration chart": the result at double resolution with a movable section,
/// the interval read-out beside it and the colour chart under it. Modeless; the main window
/// opens it and closes it when the data behind it become invalid. This class builds, places and
/// connects the controls; the presenter draws.
class ChartWindow : public QMainWindow {
    Q_OBJECT
  public:
    ChartWindow(CalibrationSession& session, ui::DialogService& dialogs, ResultSaver& saver,
                PrintCommands& printing, QWidget* mainWindow);
    ~ChartWindow() override;

    /// Opens in `mode`, or, when open already, shows `mode` again with everything redrawn.
    void showView(ChartMode mode);

    ChartControls& controls() { return c_; }
    const ChartPresenter& presenter() const { return *presenter_; }
    const StatusLine& status() const { return *status_; }
    /// What the main figure shows under the pointer, beside the status line.
    const PointerReadout& pointerReadout() const { return *pointer_; }
    /// "File(&F)" > "&Save Matrix".
    QAction* saveAction() const { return save_; }
    /// "File(&F)" > "&Apply to measurements...".
    QAction* applyAction() const { return apply_; }
    /// "File(&F)" > "Print Options" and "&Print".
    QAction* printOptionsAction() const { return printOptions_; }
    QAction* printAction() const { return print_; }
    /// What the page shows: the section, the enhancement and the curve boxes as they stand.
    ChartView printView() const;
    /// The colour settings changed while this window may be the active one.
    void coloursChanged();

  signals:
    /// "Colour Setting": the one colour settings window, shown by the main window.
    void colourSettingsRequested();

  public:
    /// The pop-up menus of the main figure and the section (`Fig1`, `Fig2`).
    QMenu* figureMenu(int n) const { return figureMenus_[size_t(n - 1)]; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    /// The picture of figure n (1: the main figure, 2: the section) to the clipboard.
    void copyFigure(int n);
    void connectControls();
    void connectMainFigure();
    ChartMetrics metrics() const;
    void placeControls();
    void placeOnScreen();
    void placeMovingLabels();

    const CalibrationSession& session_;
    ResultSaver& saver_;
    PrintCommands& printing_;
    MeasurementCommands measurements_;
    ChartControls c_;
    std::unique_ptr<ChartPresenter> presenter_;
    std::unique_ptr<StatusLine> status_;
    PointerReadout* pointer_ = nullptr; // owned by the status bar
    QWidget* canvas_;
    ChartGeometry geometry_;
    QAction* save_ = nullptr;
    QAction* apply_ = nullptr;
    QAction* printOptions_ = nullptr;
    QAction* print_ = nullptr;
    std::array<QMenu*, 2> figureMenus_{};
    bool opened_ = false;
};

} // namespace quendrix
