#include "python/PythonCalibration.h"

#include "base/NumberText.h"
#include "export/CommonOutput.h"
#include "python/ArrayCalibration.h"
#include "python/PythonValues.h"
#include "readout/CoverageCheck.h"
#include "readout/Prediction.h"
#include "session/CalibrationUse.h"

#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

namespace quendrix::python {
namespace {

using namespace pybind11::literals;

py::tuple intervalTuple(const std::vector<std::pair<std::string, std::string>>& intervals) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    py::tuple out(intervals.size());
    for (size_t k = 0; k < intervals.size(); ++k) {
        out[k] = py::make_tuple(readingValue(intervals[k].first, -inf),
                                readingValue(intervals[k].second, inf));
    }
    return out;
}

/// A prediction's numbers as Python objects.
struct PythonReading {
    double average = 0;
    double mode = 0;
    py::tuple c1;
    py::tuple c2;
};

PythonReading readingOf(const Prediction& p) {
    return {readingValue(p.average, std::nan("")), readingValue(p.mode, std::nan("")),
            intervalTuple(p.intervals[0]), intervalTuple(p.intervals[1])};
}

/// Equal for two predictions exactly when they read the same.
std::string readingKey(const Prediction& p) {
    std::string key(1, char('0' + int(p.kind)));
    key += p.average + '\x1f' + p.mode;
    for (const auto& intervals : p.intervals) {
        key += '\x1d';
        for (const auto& [low, high] : intervals) {
            key += low + '\x1e' + high + '\x1f';
        }
    }
    return key;
}

} // namespace

template <class T, class Cell> py::array_t<T> Calibration::shown(Cell cell) const {
    py::array_t<T> out({ExportSize, ExportSize});
    auto view = out.template mutable_unchecked<2>();
    const StageMatrix& m = session_->matrix();
    for (int j = 0; j < ExportSize; ++j) {
        for (int i = 0; i < ExportSize; ++i) {
            view(j, i) = cell(m, i + PlotFirst, j + PlotFirst);
        }
    }
    return out;
}

double Calibration::axisValue(int k) const {
    const double lo = leadingNumber(session_->captions().lowerText);
    const double hi = leadingNumber(session_->captions().upperText);
    return exportAxisValue(lo, hi, k);
}

py::array_t<double> Calibration::grid() const {
    std::vector<double> axis(ExportSize);
    for (int k = 0; k < ExportSize; ++k) {
        axis[size_t(k)] = axisValue(k);
    }
    return doubles(axis);
}

py::array_t<float> Calibration::prob() const {
    return shown<float>([](const StageMatrix& m, int i, int j) { return m.at(Field::Prob, i, j); });
}

py::array_t<std::int8_t> Calibration::classes() const {
    return shown<std::int8_t>([](const StageMatrix& m, int i, int j) {
        return std::int8_t(std::abs(m.at(Field::Confi, i, j)));
    });
}

py::array_t<double> Calibration::column(const std::array<int, GridSize>& index) const {
    std::vector<double> values(ExportSize, std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < ExportSize; ++i) {
        if (const int j = index[size_t(i + PlotFirst)]; j != NoIndex) {
            values[size_t(i)] = axisValue(j - PlotFirst);
        }
    }
    return doubles(values);
}

py::dict Calibration::readout(const py::object& x) const {
    const double value = numberOf(x, "x");
    const std::vector<Measurement> records = measurements({value}, nullptr, "x");
    std::vector<Prediction> p;
    {
        py::gil_scoped_release release;
        p = predictWith(*session_, records, false);
    }
    const PythonReading r = readingOf(p[0]);
    py::dict out;
    out["x"] = value;
    out["status"] = statusText(p[0].kind);
    out["average"] = r.average;
    out["mode"] = r.mode;
    out["c1_intervals"] = r.c1;
    out["c2_intervals"] = r.c2;
    out["c1"] = session_->captions().coefficient[0];
    out["c2"] = session_->captions().coefficient[1];
    return out;
}

py::dict Calibration::apply(const py::object& newX, bool fullPrecision) const {
    const Values x = valuesOf(newX, "new_x");
    const std::vector<Measurement> records = measurements(x, nullptr, "new_x");
    std::vector<Prediction> predictions;
    {
        py::gil_scoped_release release;
        predictions = predictWith(*session_, records, fullPrecision);
    }
    const size_t n = predictions.size();
    std::vector<double> average(n), mode(n);
    std::vector<const char*> status(n);
    std::vector<py::object> c1(n), c2(n);
    // Many measurements share a section, so each distinct reading is made once.
    std::unordered_map<std::string, PythonReading> readings;
    for (size_t k = 0; k < n; ++k) {
        const Prediction& p = predictions[k];
        auto [at, made] = readings.try_emplace(readingKey(p));
        PythonReading& r = at->second;
        if (made) {
            r = readingOf(p);
        }
        average[k] = r.average;
        mode[k] = r.mode;
        status[k] = statusText(p.kind);
        // Tuples cannot change, so measurements in one section share theirs.
        c1[k] = r.c1;
        c2[k] = r.c2;
    }
    py::dict out;
    out["x"] = doubles(x);
    out["status"] = textArray(status, 13);
    out["average"] = doubles(average);
    out["mode"] = doubles(mode);
    out["c1_intervals"] = objectArray(c1);
    out["c2_intervals"] = objectArray(c2);
    return out;
}

py::object Calibration::check(const py::object& x, const py::object& y) const {
    const Values xs = valuesOf(x, "x"), ys = valuesOf(y, "y");
    const std::vector<Measurement> pairs = measurements(xs, &ys, "x, y");
    std::string json;
    {
        py::gil_scoped_release release;
        json = coverageJson(coverageOf(*session_, pairs));
    }
    return py::module_::import("json").attr("loads")(json);
}

void Calibration::save(const py::object& path) const {
    const std::string target = pathOf(path);
    Status st;
    {
        py::gil_scoped_release release;
        st = session_->saveCommonOutput(target);
    }
    if (!st) {
        raiseOSError(st.reason());
    }
}

py::list Calibration::warnings() const {
    py::list out;
    if (const std::string empty = session_->emptyResult(); !empty.empty()) {
        out.append("the result is empty: " + empty);
    }
    return out;
}

std::string Calibration::repr() const {
    const Captions& c = session_->captions();
    std::string text = "<quendrix.Calibration N1 = " + c.count[0];
    if (session_->generatedModel()) {
        text += ", error model y = x, SD = " + c.stdDev;
    } else {
        text += ", N2 = " + c.count[1] + ", " + c.fittingLine + ", SD = " + c.stdDev;
    }
    return text + ", range " + c.lowerText + " .. " + c.upperText + ">";
}

} // namespace quendrix::python
