#pragma once

#include "session/CalibrationSession.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <utility>

class QStatusBar;
class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
}
class AboutBox;
class CoefficientDialog;
class ControlPanel;
class FigurePanel;

/// The main window's workflow: what every button, slider, check box, range box and figure click
/// does, which stages it runs or invalidates, which figures it draws or clears, and what is
/// enabled afterwards. The numbers come from the session; this class keeps the figures and the
/// controls in step with it.
class Workflow : public QObject {
    Q_OBJECT
  public:
    Workflow(CalibrationSession& session, ControlPanel& controls, FigurePanel& figures,
             ui::DialogService& dialogs, QStatusBar& status, QWidget& window);
    ~Workflow() override;

    /// Start-up values of every control.
    void formLoad();
    /// Whether figure n (1..8) shows a valid result (`Pict1Drawn` .. `Pict8Drawn`).
    bool drawn(int n) const;

    // Events.
    void readDataFile(int f);
    void start();
    void figureClicked(int k);
    void figureHovered(int k);
    void scatterHovered(int f);
    void backgroundHovered();
    void rangeTextChanged();
    void rangeEditFinished();
    void generateModelClicked();
    void modelSliderChanged(int percent);
    void showFittingLineClicked();
    void skipClicked();
    void overlayClicked();
    void coefficientSliderChanged(int k, int tenths);
    void coefficientTyped(int k, const QString& typed);
    void smoothingChanged(int level);
    void verticalThresholdChanged(int samples);
    void horizontalThresholdChanged(int samples);
    void openCoefficientDialog(int k);
    void openAboutBox();
    void activated();
    void shutDown();

  private:
    void resetData(int f);
    void drawScatter(int f);
    void drawStage(Stage s);
    void drawOverlays();
    void runFrom(Stage first);
    void afterSettingChange(const std::array<bool, StageCount>& before);
    void syncFigures();
    void syncControls();
    void syncCaptions();
    void setRangeBoxes();
    void resetModelControls();
    void resetColour();
    void findFocus();
    void refuse(const QString& reason);
    std::array<bool, StageCount> doneStages() const;
    float factorFor(int k) const;
    /// The numbers in the range boxes as they stand (lower, upper).
    std::pair<double, double> rangeNumbers() const;

    CalibrationSession& session_;
    ControlPanel& controls_;
    FigurePanel& figures_;
    ui::DialogService& dialogs_;
    QStatusBar& status_;
    QWidget& window_;
    std::array<bool, 2> scatterDrawn_{};
    std::array<bool, 8> shown_{}; ///< the surface of figure n - 1 holds a drawing
    bool normHSkipped_ = false;
    bool startEnabled_ = false;
    std::array<QPointer<CoefficientDialog>, 2> coefficientDialogs_;
    QPointer<AboutBox> aboutBox_;
};

} // namespace quendrix
