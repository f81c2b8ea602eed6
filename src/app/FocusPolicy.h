#pragma once

#include "session/CalibrationSession.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

namespace quendrix {

class ControlPanel;
class FigurePanel;

/// What just happened, as far as the keyboard focus is concerned.
enum class FocusEvent {
    Opened,         ///< the window opened
    Imported,       ///< a file was imported
    ImportFailed,   ///< the file dialog was cancelled or the file refused
    ModelSwitched,  ///< the generated model was switched on or off
    StagesRun,      ///< Start or a figure ran the pipeline to its end
    StagesRefused,  ///< a stage refused to run
    SettingChanged, ///< a slider, check box, range box or coefficient changed
    RangeCommitted, ///< Return committed the range in the boxes
};

/// The control that gets the focus.
enum class FocusTarget {
    Keep,         ///< the control that had it when the event began
    ImportedFile, ///< the import button of the file the event concerns
    ImportFile1,
    ImportFile2,
    ModelSlider, ///< the generated model's standard deviation
    RangeLower,  ///< the first empty range box
    SmoothingSlider,
    Start,
    NextFigure,   ///< the first figure not drawn yet that a click computes
    ResultFigure, ///< the confidence figure
};

/// The state the focus decisions depend on.
struct FocusState {
    int file = 0;             ///< the file the event concerns
    bool file1Usable = false; ///< file 1 holds two or more complete records
    bool file2Line = false;   ///< file 2 has a fitting line (an error model from file 2)
    bool generatedModel = false;
    bool rangeSet = false;
    bool startEnabled = false;
    int nextFigure = 0;          ///< the first figure (3..8) not drawn, 0 when all are
    std::optional<Stage> failed; ///< the stage that refused
};

/// Where the keyboard focus goes after each event, decided in one table so that it never lands
/// on a control whose Space or Return would discard work ("Quit", "Generate model") and, after
/// a refusal, lands on the control that resolves it. Keyboard steps on a control keep the
/// focus there.
class FocusPolicy {
  public:
    FocusPolicy(ControlPanel& controls, FigurePanel& figures, QWidget& window);

    /// The targets for an event in order of preference; the first one that can take the focus
    /// gets it.
    static std::vector<FocusTarget> targets(FocusEvent event, const FocusState& state);

    /// Remembers the control that has the focus as the event begins.
    void begin();
    /// Gives the focus to the control the table picks.
    void apply(FocusEvent event, const FocusState& state);

    /// The control a target stands for now; null when it cannot take the focus.
    QWidget* resolve(FocusTarget target, const FocusState& state) const;

  private:
    bool discardsWork(const QWidget* widget) const;

    ControlPanel& controls_;
    FigurePanel& figures_;
    QWidget& window_;
    QPointer<QWidget> before_;
};

} // namespace quendrix
