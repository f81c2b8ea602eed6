#pragma once

#include "figures/ChartFigures.h"
#include "session/ColourChangeProtocol.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <utility>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
class FigureSurface;
} // namespace ui
class CalibrationSession;
class IntervalMarks;
class IntervalPanel;
struct IntervalReadout;

/// The calibration chart window's controls.
struct ChartControls {
    ui::FigureSurface* picture1 = nullptr;  ///< the main figure
    ui::FigureSurface* picture2 = nullptr;  ///< the section
    ui::FigureSurface* picture3 = nullptr;  ///< the colour chart
    QSlider* slider1 = nullptr;             ///< the section's position, 0..100 % of the X axis
    QSlider* slider2 = nullptr;             ///< the Z-axis enhancement, 0..200 %
    QLabel* label3 = nullptr;               ///< the section's X value above the main figure
    QLabel* label5 = nullptr;               ///< and under it
    QLabel* label4 = nullptr;               ///< the enhancement, "100 %"
    std::array<QLabel*, 2> label1{};        ///< range minimum: vertical, horizontal axis
    std::array<QLabel*, 2> label2{};        ///< range maximum: vertical, horizontal axis
    std::array<QRadioButton*, 2> option1{}; ///< "Probability", "Confidence"
    IntervalPanel* intervalPanel = nullptr;
    IntervalMarks* intervalMarks = nullptr;
    QCheckBox* check4 = nullptr;     ///< "Show average"
    QCheckBox* check1 = nullptr;     ///< "Show mode"
    QPushButton* command1 = nullptr; ///< "OK"
};

/// What the chart window draws and reads off, and when: the main figure as a frozen picture with
/// the curves and the section marker on the layer above it, the section, the colour chart and
/// the interval read-out, which is the session's own read-out for the section.
class ChartPresenter {
  public:
    ChartPresenter(CalibrationSession& session, ChartControls& controls, ui::DialogService& dialogs,
                   QWidget& window);

    /// Called whenever the section or enhancement labels change position.
    void onLabelsMoved(std::function<void()> f) { labelsMoved_ = std::move(f); }

    /// The opening sequence: the section at the middle, the enhancement from the session, every
    /// surface drawn in `mode` (with the curves for the confidence view) and the read-out shown.
    void open(ChartMode mode);
    /// Shown again from the main window: `mode` and its curves, everything redrawn.
    void reopen(ChartMode mode);

    ChartMode mode() const;
    int section() const;
    int enhancement() const;

    // Events.
    void modeChosen();
    void curvesToggled();
    void sectionMoved();
    void enhancementMoved();
    /// Activated, or the colours changed while active: redraws once per colour change.
    void activated();
    /// Just before the print options dialog is shown from this window: the activation that
    /// follows it redraws nothing.
    void printOptionsShown() { colours_.printOptionsShown(); }
    /// A left click or drag on the main figure at widget point `at`, its drawing filling
    /// `area`: the section moves to the column there.
    void sectionPointed(const QRectF& area, const QPointF& at);

    /// What the main figure shows at `at` in the view shown.
    QString pointerReading(const QRectF& area, const QPointF& at) const;

  private:
    void applyView(ChartMode mode);
    void drawAll();
    void drawMainFigure();
    void drawSection();
    void drawColourChart();
    void redrawOverlays();
    void showIntervals();
    void showReadout(const IntervalReadout& readout);
    void wipeIntervals();
    void writeSectionCaptions();
    void writeEnhancementCaption();
    bool greyScale() const;
    std::pair<double, double> rangeNumbers() const;

    CalibrationSession& session_;
    ChartControls& c_;
    ui::DialogService& dialogs_;
    QWidget& window_;
    std::function<void()> labelsMoved_;
    ColourChangeProtocol colours_{ColourFollower::ChartWindow};
};

} // namespace quendrix
