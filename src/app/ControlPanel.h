#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;

namespace quendrix {

namespace ui {
class ElidedLabel;
}
class ClickableLabel;

/// One data file's import button and captions.
struct FileControls {
    QPushButton* importButton = nullptr; ///< "Import data" (`Command1(f)`)
    QLabel* count = nullptr;             ///< N1 or N2 (`Label12(f)`)
    QLabel* correlation = nullptr;       ///< R1 or R2 (`Label13(f)`)
    ui::ElidedLabel* xName = nullptr;    ///< `Label14(f)`
    ui::ElidedLabel* yName = nullptr;    ///< `Label15(f)`
    ui::ElidedLabel* path = nullptr;     ///< `Label21(f)`
};

/// File 2's line and the generated model that can stand in for file 2.
struct ErrorModelControls {
    ui::ElidedLabel* fittingLine = nullptr; ///< `Label17`
    QLabel* stdDev = nullptr;               ///< `Label19`
    QCheckBox* showFittingLine = nullptr;   ///< "Show fitting line" (`Check1`)
    QCheckBox* generateModel = nullptr;     ///< "Generate model" (`Check4`)
    QSlider* modelSlider = nullptr;         ///< standard deviation in % of the range (`Slider4`)
    QLabel* modelCaption = nullptr;         ///< "Std.Dev.: 5 % of range" (`Label22`)
};

/// The axis range shared by X and Y, as typed.
struct RangeControls {
    QLineEdit* lower = nullptr; ///< `Text1`
    QLineEdit* upper = nullptr; ///< `Text2`
};

struct SmoothingControls {
    QSlider* slider = nullptr; ///< smoothing level, 1..25 % of the range (`Slider3`)
    QLabel* value = nullptr;   ///< the level as a text (`Label7`)
};

struct ThresholdControls {
    /// Samples a Y row needs (`Slider5`), used by the horizontal normalisation.
    QSlider* vertical = nullptr;
    QLabel* verticalCaption = nullptr; ///< `Label23`
    QCheckBox* skip = nullptr;         ///< "Skip" (`Check5`)
    /// Samples an X column needs (`Slider6`), used by the vertical normalisation.
    QSlider* horizontal = nullptr;
    QLabel* horizontalCaption = nullptr; ///< `Label24`
};

/// The two confidence coefficients and the overlays of the confidence figure.
struct CoefficientControls {
    std::array<QSlider*, 2> sliders{};       ///< tenths of a per cent (`Slider1`, `Slider2`)
    std::array<ClickableLabel*, 2> values{}; ///< as typed (`Label4(0)`, `Label4(1)`)
    QCheckBox* showMode = nullptr;           ///< "Show mode" (`Check2`)
    QCheckBox* showAverage = nullptr;        ///< "Show ave." (`Check6`)
    QPushButton* colourSettings = nullptr;   ///< "Colour settings" (`Command2`)
};

struct RunControls {
    QPushButton* start = nullptr;     ///< "Start" (`Command3`)
    QPushButton* quit = nullptr;      ///< "Quit" (`Command10`)
    QProgressBar* progress = nullptr; ///< `ProgressBar1`
};

/// The main window's controls beside the figures, grouped by what they set. The panel builds
/// them at their natural size and keeps every one in a fixed place (hidden ones keep theirs);
/// the workflow gives them their behaviour.
class ControlPanel : public QWidget {
    Q_OBJECT
  public:
    explicit ControlPanel(QWidget* parent = nullptr);

    std::array<FileControls, 2> file;
    ErrorModelControls model;
    RangeControls range;
    SmoothingControls smoothing;
    ThresholdControls thresholds;
    CoefficientControls coefficients;
    RunControls run;

    /// Puts "Start" beside the model slider while the generated model stands in for file 2, and
    /// back beside "Quit" otherwise.
    void placeStartButton(bool modelMode);

  private:
    QWidget* buildFileGroup(int f);
    QWidget* buildRangeGroup();
    QWidget* buildCalibrationGroup();
    QWidget* buildModelBlock(QWidget* parent);

    std::array<QWidget*, 2> startSlots_{}; ///< home, beside the model slider
};

} // namespace quendrix
