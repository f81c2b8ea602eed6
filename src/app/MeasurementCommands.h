#pragma once

#include "readout/CoverageCheck.h"

#include <QString>

#include <optional>

class QWidget;

namespace quendrix {

namespace ui {
class DialogService;
}
class CalibrationSession;
class StatusLine;

/// The coverage of one pairs file, for the dialog that shows it.
struct CoverageResult {
    QString fileName;
    CoverageReport report;
    QString table; ///< the batch command's table, line for line
};

/// What the windows do with a calibration besides saving it: read it off at new measurements
/// and check it with independent pairs, with the same results as the batch command. Both ask
/// for their files through the dialog service, are silent on Cancel, and say in the status
/// line what they did or why they did nothing.
class MeasurementCommands {
  public:
    MeasurementCommands(CalibrationSession& session, ui::DialogService& dialogs);

    /// Picks NEW.csv, then the predictions file (".csv" added to a name typed without an
    /// extension), and writes the predictions CSV. The chart's fine matrices must be built.
    /// Whether a file was written.
    bool applyToMeasurements(QWidget* parent, StatusLine& status);
    /// Picks a pairs file and checks the confidence regions with it; none when cancelled or
    /// refused.
    std::optional<CoverageResult> checkCoverage(QWidget* parent, StatusLine& status);

  private:
    CalibrationSession& session_;
    ui::DialogService& dialogs_;
};

} // namespace quendrix
