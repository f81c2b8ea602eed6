#pragma once

#include "app/ChartLauncher.h"
#include "app/DialogHost.h"
#include "app/FigureSynchroniser.h"
#include "app/FocusPolicy.h"
#include "app/MeasurementCommands.h"
#include "app/PrintCommands.h"
#include "app/RecentFilesMenu.h"
#include "app/ResultSaver.h"
#include "app/SettingCommands.h"
#include "app/StageRunner.h"
#include "app/StatusLine.h"
#include "session/CalibrationSession.h"
#include "session/ColourChangeProtocol.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QStatusBar;
class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
}
class ColourSettingsWindow;
class ControlPanel;
class CoverageDialog;
class SuggestSettingsDialog;
struct TrialScore;
class FigurePanel;
class MainMenus;

/// The main window's workflow: what every button, slider, check box, range box and figure click
/// does. The session holds the numbers; the figure synchroniser draws them, the stage runner
/// runs the pipeline, the focus policy moves the focus and the status line explains refusals.
/// This class keeps the captions and the enabled states in step.
class Workflow : public QObject {
    Q_OBJECT
  public:
    Workflow(CalibrationSession& session, ControlPanel& controls, FigurePanel& figures,
             MainMenus& menus, ui::DialogService& dialogs, QStatusBar& status, QWidget& window);
    ~Workflow() override;

    /// Start-up values of every control.
    void formLoad();
    FigureSynchroniser& figures() { return sync_; }
    const FigureSynchroniser& figures() const { return sync_; }
    const StatusLine& status() const { return status_; }
    PrintCommands& printing() { return printing_; }
    ChartLauncher& chart() { return chart_; }

    // Events.
    void readDataFile(int f);
    /// Imports the file at `path` as file f, as "Import data" does once its dialog is answered:
    /// from the command line and from files dropped on the window.
    void importPath(int f, const QString& path);
    void start();
    void figureClicked(int k);
    /// A button pressed on figure n (1..8): the right one opens its pop-up menu at `at`.
    void figurePressed(int n, Qt::MouseButton button, const QPoint& at);
    void openChart(ChartMode mode);
    void saveResult();
    /// "Export figures...": every figure as a file, as `quendrix-batch --figures` writes them.
    void exportFigures();
    /// "Check coverage...": a pairs file against the confidence regions, shown in a dialog.
    void checkCoverage();
    /// The coverage dialog, once a check has shown it.
    CoverageDialog* coverageDialog() const;
    /// "Suggest settings...": the settings search on the session's file 1, range and model.
    void suggestSettings();
    /// The search's dialog, once it has been opened.
    SuggestSettingsDialog* suggestionDialog() const;
    /// "Use these settings": the sliders take the setting and the calibration runs.
    void useSuggestion(const TrialScore& trial);
    void rangeTextChanged();
    /// Leaving a range box checks and commits the range; whether it was accepted.
    bool rangeEditFinished();
    /// Return in a range box commits it and moves on to the next step.
    void rangeReturnPressed();
    void generateModelClicked();
    void modelSliderChanged(int percent);
    void showFittingLineClicked();
    void overlayClicked();
    /// A slider or check box of a setting moved: the stages that use it run again.
    void changeSetting(Setting setting, int value);
    void coefficientTyped(int k, const QString& typed);
    void openCoefficientDialog(int k);
    void openAboutBox();
    /// "Print Options": sets this window's "PrintOptions" flag, then shows the dialog.
    void openPrintOptions();
    /// Shows the one colour settings window, from this window or any other.
    void showColourSettings();
    /// The colour settings window, once it has been opened.
    ColourSettingsWindow* colourSettings() const;
    /// Just before the print options dialog is shown from this window: the activation that
    /// follows it redraws nothing.
    void printOptionsShown() { colours_.printOptionsShown(); }
    void activated();
    void shutDown();

  signals:
    /// The colour settings changed a setting: a window that is active now redraws at once.
    void coloursChanged();

  private:
    void resetData(int f);
    void settingChanged(const std::array<bool, StageCount>& doneBefore);
    void finishRun(const RunOutcome& outcome);
    void colourSettingsChanged();
    void syncControls();
    void syncCaptions();
    void writeRangeBoxes();
    QString rangeReadingNotes() const;
    void showResultState();
    /// Draws and labels the figures in the range the boxes hold; whether it changed.
    bool commitRange();
    void resetModelControls();
    int completeCount(int f) const;
    /// Both range boxes hold text.
    bool rangeSet() const;
    FocusState focusState(int file = 0, std::optional<Stage> failed = std::nullopt) const;
    QString importNote(int f) const;

    CalibrationSession& session_;
    ControlPanel& controls_;
    FigurePanel& panel_;
    MainMenus& menus_;
    ui::DialogService& dialogs_;
    QWidget& window_;
    FigureSynchroniser sync_;
    StageRunner runner_;
    FocusPolicy focus_;
    StatusLine status_;
    PrintCommands printing_;
    ResultSaver saver_;
    ChartLauncher chart_;
    MeasurementCommands measurements_;
    bool startEnabled_ = false;
    DialogHost dialogHost_;
    RecentFilesMenu recent_;
    ColourChangeProtocol colours_{ColourFollower::MainWindow};
};

} // namespace quendrix
