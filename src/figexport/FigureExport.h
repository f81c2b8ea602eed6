#pragma once

#include "base/Result.h"
#include "export/FigureFiles.h"
#include "figexport/FigureSheet.h"
#include "readout/IntervalReadout.h"
#include "ui/FigureScene.h"

#include <QByteArray>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quendrix {

class CalibrationSession;

/// Every figure an export writes, drawn by the windows' own code for the session as it stands:
/// the main window's eight (Fig.2 with file 2's fitting line, Fig.8 with the mode and the
/// average) and the calibration chart in its confidence view, with both curves and the section
/// at `sectionPercent`. Needs a QApplication, every stage done and the detail matrices built.
class FigureSet {
  public:
    FigureSet(const CalibrationSession& session, int sectionPercent);
    ~FigureSet();
    FigureSet(const FigureSet&) = delete;
    FigureSet& operator=(const FigureSet&) = delete;

    /// Figure 0..7 (Fig.1 .. Fig.8), 8 the chart.
    const FigureSheet& sheet(int index) const { return sheets_[size_t(index)]; }

  private:
    std::array<ui::FigureScene, 10> scenes_;
    std::optional<IntervalReadout> readout_;
    std::array<FigureSheet, ExportedFigureCount> sheets_;
};

/// Whether the session holds everything an export draws.
Status figuresReady(const CalibrationSession& session);

/// Every figure as the bytes of its file, in the order of `figureFileNames`.
Result<std::array<QByteArray, ExportedFigureCount>>
renderFigures(const CalibrationSession& session, FigureFormat format, int sectionPercent);

/// The same as the bytes of each file, for a writer of the core.
Result<std::vector<std::string>> figureFileContents(const CalibrationSession& session,
                                                    const FigureRequest& request);

/// Renders every figure, then puts all of them in the request's folder (made when missing),
/// all or none.
Status exportFigures(const CalibrationSession& session, const FigureRequest& request);

} // namespace quendrix
