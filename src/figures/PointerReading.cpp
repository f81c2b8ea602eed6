#include "figures/PointerReading.h"

#include "base/NumberText.h"
#include "figures/ScatterFigure.h"
#include "pipeline/ConfidenceRegions.h"
#include "session/CalibrationSession.h"
#include "ui/FormUnits.h"

#include <cmath>
#include <limits>

namespace quendrix {
namespace {

constexpr double ScatterSide = ui::MainFigureSide;
// A point shows while any of its circle is on the figure.
constexpr double PointRadius = 30;

/// The centre of the pixel under `at`, in the units of a width x height scale drawn over `area`;
/// none outside the area.
std::optional<QPointF> scalePoint(const QRectF& area, QPointF at, double width, double height) {
    const double x = at.x() - area.left();
    const double y = at.y() - area.top();
    if (!(x >= 0 && y >= 0 && x < area.width() && y < area.height())) {
        return std::nullopt;
    }
    return QPointF((std::floor(x) + 0.5) * width / area.width(),
                   (std::floor(y) + 0.5) * height / area.height());
}

std::string position(const GridFrame& frame, FigureCell cell, double lo, double hi) {
    return "X " + shortestText(axisValue(frame, cell.i, lo, hi)) + ", Y " +
           shortestText(axisValue(frame, cell.j, lo, hi));
}

/// The region a confidence class stands for: class 2 (and the mode's 3) is the narrower region,
/// class 1 the band only the wider one holds; the narrower is the smaller coefficient's.
std::string regionName(int regionClass, const std::array<std::string, 2>& coefficients) {
    if (regionClass == 0) {
        return "outside the regions";
    }
    const bool firstIsNarrow =
        firstCoefficientIsNarrower(leadingNumber(coefficients[0]), leadingNumber(coefficients[1]));
    const bool first = (regionClass == 2) == firstIsNarrow;
    return coefficients[first ? 0 : 1] + " % region";
}

/// What each matrix figure holds, after the caption it has in the figure files.
std::string valueName(StageFigure figure) {
    switch (figure) {
    case StageFigure::Model:
        return "density";
    case StageFigure::Discrete:
        return "spread samples";
    case StageFigure::Smoothed:
        return "smoothed samples";
    case StageFigure::NormH:
        return "share along X";
    case StageFigure::Prob:
    case StageFigure::Confi:
        break;
    }
    return "probability";
}

} // namespace

std::optional<FigureCell> cellAt(const GridFrame& frame, const QRectF& area, QPointF at) {
    const auto p = scalePoint(area, at, frame.width, frame.height);
    if (!p) {
        return std::nullopt;
    }
    // Cell k covers k -+ half a cell around its point; the rows count down from the top.
    const int span = int(frame.span);
    const int first = int(frame.first);
    const int column = int(std::lround(p->x() * span / frame.width));
    const int row = int(std::lround(p->y() * span / frame.height));
    return FigureCell{first + column, first + span - row};
}

double axisValue(const GridFrame& frame, int index, double lo, double hi) {
    return lo + (hi - lo) * (index - frame.first) / frame.span;
}

std::string readingNumber(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return shortestText(value);
    }
    const int magnitude = int(std::floor(std::log10(std::fabs(value))));
    return shortestText(roundHalfEven(value, std::max(0, 2 - magnitude)));
}

std::string stageReading(const CalibrationSession& session, StageFigure figure, double lo,
                         double hi, const QRectF& area, QPointF at) {
    const auto cell = cellAt(MainFigureFrame, area, at);
    if (!cell) {
        return {};
    }
    const std::string where = position(MainFigureFrame, *cell, lo, hi) + ": ";
    const StageMatrix& m = session.matrix();
    if (figure == StageFigure::Confi) {
        // As the figure colours them: exactly 1 the outer band, 2 and more the inner region.
        const float q = std::fabs(m.at(Field::Confi, cell->i, cell->j));
        const int regionClass = q >= 2 ? 2 : q == 1 ? 1 : 0;
        return where + regionName(regionClass, session.captions().coefficient);
    }
    // A negative probability only marks its column's half-probability cell.
    const float v = std::fabs(m.at(figureField(figure), cell->i, cell->j));
    return where + valueName(figure) + " " + readingNumber(v);
}

std::string scatterReading(const CalibrationSession& session, int f, double lo, double hi,
                           const QRectF& area, QPointF at) {
    const std::optional<DataFile>& file = session.file(f);
    const auto p = scalePoint(area, at, ScatterSide, ScatterSide);
    if (!file || (f == 1 && session.generatedModel()) || lo == hi || !p) {
        return {};
    }
    const auto shown = [](double u) { return u >= -PointRadius && u <= ScatterSide + PointRadius; };
    double nearest = std::numeric_limits<double>::infinity();
    std::size_t record = 0;
    for (std::size_t r = 0; r < file->records.size(); ++r) {
        const Sample& s = file->records[r];
        if (!s.complete()) {
            continue;
        }
        // Where the figure draws it: Y grows upwards.
        const double x = scatterPosition(s.x, lo, hi);
        const double y = ScatterSide - double(scatterPosition(s.y, lo, hi));
        const double d = std::hypot(x - p->x(), y - p->y());
        if (shown(x) && shown(y) && d < nearest) {
            nearest = d;
            record = r + 1;
        }
    }
    if (record == 0) {
        return {};
    }
    const Sample& s = file->records[record - 1];
    return "Record " + std::to_string(record) + ": X " + shortestText(s.x) + ", Y " +
           shortestText(s.y);
}

std::string chartReading(const DetailMatrices& d, ChartMode mode,
                         const std::array<std::string, 2>& coefficients, double lo, double hi,
                         const QRectF& area, QPointF at) {
    const auto cell = cellAt(ChartFrame, area, at);
    if (!cell) {
        return {};
    }
    const std::string where = position(ChartFrame, *cell, lo, hi) + ": ";
    if (mode == ChartMode::Confidence) {
        // The chart's own bounds between the classes, as it shades them.
        const float c = std::fabs(d.confi(cell->i, cell->j));
        return where + regionName(c < 0.5f ? 0 : c < 1.5f ? 1 : 2, coefficients);
    }
    return where + "probability " + readingNumber(std::fabs(d.prob(cell->i, cell->j)));
}

std::optional<int> chartSectionAt(const QRectF& area, QPointF at) {
    const auto cell = cellAt(ChartFrame, area, at);
    if (!cell) {
        return std::nullopt;
    }
    return int(roundHalfEven((cell->i - ChartFrame.first) * 100 / ChartFrame.span));
}

} // namespace quendrix
