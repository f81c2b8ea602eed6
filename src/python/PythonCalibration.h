#pragma once

#include "session/CalibrationSession.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>

namespace quendrix::python {

namespace py = pybind11;

/// A finished calibration as Python sees it; every method only reads it, so threads may share
/// one.
class Calibration {
  public:
    /// `settings` and `labels` are calibrate()'s keywords that make it again from x and y.
    Calibration(std::unique_ptr<CalibrationSession> session, py::array_t<double> x,
                py::array_t<double> y, py::dict settings, py::dict labels)
        : session_(std::move(session)), x_(std::move(x)), y_(std::move(y)),
          settings_(std::move(settings)), labels_(std::move(labels)) {}

    /// A calibration travels to another process (a pool, a distributed engine) as its inputs
    /// and is made again there: the same bits on every machine, at a fraction of the size.
    py::tuple inputs() const { return py::make_tuple(x_, y_, settings_, labels_); }

    /// The 201 values of the shown part of either axis.
    py::array_t<double> grid() const;
    py::array_t<float> prob() const;
    py::array_t<std::int8_t> classes() const;
    py::array_t<double> mode() const { return column(session_->columns().modeIndex); }
    py::array_t<double> average() const { return column(session_->columns().aveIndex); }

    py::dict readout(const py::object& x) const;
    py::dict apply(const py::object& newX, bool fullPrecision) const;
    py::object check(const py::object& x, const py::object& y) const;
    void save(const py::object& path) const;

    py::dict settings() const { return py::dict(settings_.attr("copy")()); }
    py::list warnings() const;
    std::string repr() const;

  private:
    /// The axis value k steps from the range's lower bound, as the saved file writes it; k runs
    /// on into the grid's margins.
    double axisValue(int k) const;
    /// The Y value of each shown column's index; NaN where it has none.
    py::array_t<double> column(const std::array<int, GridSize>& index) const;
    /// The shown cells, indexed [y, x].
    template <class T, class Cell> py::array_t<T> shown(Cell cell) const;

    std::shared_ptr<const CalibrationSession> session_;
    py::array_t<double> x_;
    py::array_t<double> y_;
    py::dict settings_;
    py::dict labels_;
};

} // namespace quendrix::python
