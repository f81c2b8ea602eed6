#pragma once

// Values between Python and the core: arguments checked and converted with the batch command's
// reasons, refusals raised as Python's exceptions, results handed back as NumPy arrays.
#include "python/ArrayCalibration.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quendrix::python {

namespace py = pybind11;

/// Raises ValueError with the reason.
[[noreturn]] void refuse(const std::string& reason);
/// Raises OSError with the reason, for a refusal that carries no errno.
[[noreturn]] void raiseOSError(const std::string& reason);
/// An OSError of the kind Python gives for errno (FileNotFoundError for ENOENT and so on).
[[noreturn]] void osError(int error, const std::string& path);

/// A path as the system takes it: str, bytes or any os.PathLike.
std::string pathOf(const py::object& path);
/// Column names are kept as Latin-1 bytes, as the reader keeps a file's header.
std::string latin1(const py::object& text, const char* what);
py::str fromLatin1(const std::string& bytes);

/// Any array-like of numbers, one-dimensional.
Values valuesOf(const py::object& values, const std::string& name);
/// A number, refused with `name` in the reason when it is none (a bool is none).
double numberOf(const py::object& value, const std::string& name);
/// A whole-number setting within its bounds, as the batch command's options take it.
int wholeSetting(const py::object& value, const std::string& name, int lo, int hi);
/// A coefficient 0..100 as the text the session takes.
std::string coefficientText(const py::object& value, const std::string& name);
/// Two column names (x, y), as Latin-1 bytes.
std::array<std::string, 2> namePair(const py::object& names, const char* what);
/// Measurements from arrays, or the refusal raised.
std::vector<Measurement> measurements(const Values& x, const Values* y, const std::string& label);

py::array_t<double> doubles(const std::vector<double>& values);
/// Objects as a one-dimensional array of objects, one element each, whatever they hold:
/// numpy.array would make lists of one length into a further dimension.
py::array objectArray(std::vector<py::object>& items);
/// Short ASCII texts as a NumPy array of fixed-width strings.
py::array textArray(const std::vector<const char*>& texts, size_t width);

} // namespace quendrix::python
