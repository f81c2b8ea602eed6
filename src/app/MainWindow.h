#pragma once

#include "session/CalibrationSession.h"

#include <QMainWindow>

#include <memory>

class QScrollArea;

namespace quendrix {

namespace ui {
class DialogService;
}
class ControlPanel;
class FigurePanel;
class MainMenus;
class Workflow;

/// frmMain: the controls beside the eight figures, the menus and the status line. The window
/// builds and connects; what each control does lives in `Workflow`.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    /// `dialogs` answers every file and message dialog (the platform's, or a test's script).
    explicit MainWindow(ui::DialogService& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    CalibrationSession& session() { return session_; }
    ControlPanel& controls() { return *controls_; }
    FigurePanel& figures() { return *figures_; }
    Workflow& workflow() { return *workflow_; }
    MainMenus& menus() { return *menus_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void connectMenus();
    void connectControls();
    void setTabOrder();

    CalibrationSession session_;
    ControlPanel* controls_;
    QScrollArea* controlScroll_;
    QScrollArea* windowScroll_;
    FigurePanel* figures_;
    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<Workflow> workflow_;
    bool fitFrameWhenActive_ = false;
};

} // namespace quendrix
