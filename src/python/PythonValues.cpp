#include "python/PythonValues.h"

#include "base/NumberText.h"

#include <cmath>
#include <cstring>

namespace quendrix::python {

using namespace pybind11::literals;

[[noreturn]] void refuse(const std::string& reason) {
    throw py::value_error(reason);
}

[[noreturn]] void raiseOSError(const std::string& reason) {
    PyErr_SetString(PyExc_OSError, reason.c_str());
    throw py::error_already_set();
}

/// An OSError of the kind Python gives for errno (FileNotFoundError for ENOENT and so on).
[[noreturn]] void osError(int error, const std::string& path) {
    PyErr_SetObject(PyExc_OSError,
                    py::make_tuple(error, std::strerror(error), py::str(path)).ptr());
    throw py::error_already_set();
}

/// A path as the system takes it: str, bytes or any os.PathLike.
std::string pathOf(const py::object& path) {
    return py::module_::import("os").attr("fsencode")(path).cast<std::string>();
}

/// Column names are kept as Latin-1 bytes, as the reader keeps a file's header.
std::string latin1(const py::object& text, const char* what) {
    try {
        return py::str(text).attr("encode")("latin-1").cast<std::string>();
    } catch (const py::error_already_set&) {
        refuse(std::string(what) + ": " + py::repr(text).cast<std::string>() +
               " cannot be written in Latin-1");
    }
}

py::str fromLatin1(const std::string& bytes) {
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeLatin1(bytes.data(), py::ssize_t(bytes.size()), nullptr));
}

/// Any array-like of numbers, one-dimensional.
Values valuesOf(const py::object& values, const std::string& name) {
    auto array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array) {
        PyErr_Clear();
        refuse(name + ": not an array of numbers");
    }
    if (array.ndim() != 1) {
        refuse(name + ": a one-dimensional array is needed, not " + std::to_string(array.ndim()) +
               " dimensions");
    }
    return Values(array.data(), array.data() + array.size());
}

double numberOf(const py::object& value, const std::string& name) {
    if (py::isinstance<py::bool_>(value) ||
        !(py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value) ||
          py::hasattr(value, "__float__"))) {
        refuse(name + ": " + py::repr(value).cast<std::string>() + " is not a number");
    }
    try {
        return py::reinterpret_borrow<py::object>(value).cast<double>();
    } catch (const py::cast_error&) {
        refuse(name + ": " + py::repr(value).cast<std::string>() + " is out of range");
    }
}

/// A whole-number setting within its bounds, as the batch command's options take it.
int wholeSetting(const py::object& value, const std::string& name, int lo, int hi) {
    const double v = numberOf(value, name);
    const std::string shown = py::repr(value).cast<std::string>();
    if (!std::isfinite(v) || v != std::floor(v)) {
        refuse(name + ": " + shown + " is not a whole number");
    }
    if (v < lo || v > hi) {
        refuse(name + ": " + shown + " is not between " + std::to_string(lo) + " and " +
               std::to_string(hi));
    }
    return int(v);
}

std::string coefficientText(const py::object& value, const std::string& name) {
    const double v = numberOf(value, name);
    if (!(v >= 0 && v <= 100)) {
        refuse(name + ": " + py::repr(value).cast<std::string>() + " is not between 0 and 100");
    }
    return shortestText(v);
}

std::array<std::string, 2> namePair(const py::object& names, const char* what) {
    if (!py::isinstance<py::sequence>(names) || py::isinstance<py::str>(names) ||
        py::len(names) != 2) {
        refuse(std::string(what) + ": give two names (x, y)");
    }
    auto seq = py::reinterpret_borrow<py::sequence>(names);
    return {latin1(seq[0], what), latin1(seq[1], what)};
}

py::array_t<double> doubles(const std::vector<double>& values) {
    return py::array_t<double>(py::ssize_t(values.size()), values.data());
}

std::vector<Measurement> measurements(const Values& x, const Values* y, const std::string& label) {
    auto records = measurementsFromArrays(x, y, label);
    if (!records) {
        refuse(records.reason());
    }
    return std::move(records).value();
}

/// Objects as a one-dimensional array of objects, one element each, whatever they hold:
/// numpy.array would make lists of one length into a further dimension.
py::array objectArray(std::vector<py::object>& items) {
    py::array out = py::module_::import("numpy").attr("empty")(items.size(), "dtype"_a = "object");
    auto** data = static_cast<PyObject**>(out.mutable_data());
    for (size_t k = 0; k < items.size(); ++k) {
        PyObject* old = data[k];
        data[k] = items[k].release().ptr();
        Py_XDECREF(old);
    }
    return out;
}

/// Short ASCII texts as a NumPy array of fixed-width strings.
py::array textArray(const std::vector<const char*>& texts, size_t width) {
    py::array out = py::module_::import("numpy").attr("zeros")(
        texts.size(), "dtype"_a = "U" + std::to_string(width));
    auto* data = static_cast<std::uint32_t*>(out.mutable_data());
    for (size_t k = 0; k < texts.size(); ++k) {
        for (size_t c = 0; c < width && texts[k][c] != 0; ++c) {
            data[k * width + c] = std::uint8_t(texts[k][c]);
        }
    }
    return out;
}

} // namespace quendrix::python
