#pragma once

#include "figures/ChartFigures.h"
#include "figures/Curves.h"
#include "figures/StageFigures.h"

#include <QPointF>
#include <QRectF>

#include <array>
#include <optional>
#include <string>

namespace quendrix {

class CalibrationSession;

/// A cell of a matrix figure: grid indices, 25..225 on the main window's figures, fine indices
/// 50..450 on the calibration chart's main figure.
struct FigureCell {
    int i = 0; ///< X
    int j = 0; ///< Y
    bool operator==(const FigureCell&) const = default;
};

/// The cell of a figure placed by `frame` that shows at widget point `at` of a surface whose
/// drawing fills `area` (its contents rectangle): the cell under the centre of the pixel there,
/// as the figure paints each cell over its whole footprint. None outside `area`.
std::optional<FigureCell> cellAt(const GridFrame& frame, const QRectF& area, QPointF at);

/// The value in the data's units of index `index` of `frame` for the axis range lo..hi: the
/// first index stands for lo, the last for hi.
double axisValue(const GridFrame& frame, int index, double lo, double hi);

/// A value as the read-out writes it: three significant digits, whole numbers from 100 on.
std::string readingNumber(double value);

/// What stage figure `figure` of the session shows at `at` for the axis range lo..hi, in the
/// figure's own terms: "X 12.5, Y 3.25: probability 0.0123", "X 12.5, Y 3.25: 68.2 % region".
/// Empty outside the figure. Whether the figure is drawn is the caller's to know.
std::string stageReading(const CalibrationSession& session, StageFigure figure, double lo,
                         double hi, const QRectF& area, QPointF at);

/// The record of scatter figure f (0 = Fig.1, 1 = Fig.2) nearest to `at` among those the figure
/// shows, for the axis range lo..hi: "Record 17: X 12.5, Y 3.2", numbered from 1 in file order.
/// Empty when the figure shows none (no file, the generated model standing in for file 2).
std::string scatterReading(const CalibrationSession& session, int f, double lo, double hi,
                           const QRectF& area, QPointF at);

/// What the calibration chart's main figure shows at `at` in `mode`: the probability, or the
/// region a cell lies in, named by its coefficient text ("68.2"). Empty outside the figure.
std::string chartReading(const DetailMatrices& d, ChartMode mode,
                         const std::array<std::string, 2>& coefficients, double lo, double hi,
                         const QRectF& area, QPointF at);

/// The section (0..100 % of the X axis) nearest to the column shown at `at` on the chart's main
/// figure; none outside it.
std::optional<int> chartSectionAt(const QRectF& area, QPointF at);

} // namespace quendrix
