// The calibration from Python: the same core as the windows and the batch command, so the same
// inputs give the same bits. Every refusal is a Python exception carrying the core's reason;
// nothing is printed.
#include "base/NumberText.h"
#include "base/Version.h"
#include "data/DataFileReader.h"
#include "pipeline/GeneratedModel.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"
#include "python/ArrayCalibration.h"
#include "python/PythonCalibration.h"
#include "python/PythonValues.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace quendrix::python {
namespace {

using namespace pybind11::literals;

/// A data file as the windows read it.
struct DataFileView {
    py::object path;
    py::tuple names;
    py::array_t<double> x;
    py::array_t<double> y;
    int complete = 0;
    py::list warnings;
};

DataFileView readFile(const py::object& pathObject) {
    const std::string path = pathOf(pathObject);
    Result<DataFile> file = Failure{""};
    {
        py::gil_scoped_release release;
        file = readDataFile(path);
    }
    if (!file) {
        // A file that cannot be opened is the system's refusal, with its errno; any other is
        // the content's.
        if (const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd < 0) {
            osError(errno, path);
        } else {
            struct stat st {};
            const bool directory = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
            ::close(fd);
            if (directory) {
                osError(EISDIR, path);
            }
        }
        refuse(path + ": " + file.reason());
    }
    DataFileView view;
    view.path = py::module_::import("os").attr("fspath")(pathObject);
    view.names = py::make_tuple(fromLatin1(file->xName), fromLatin1(file->yName));
    std::vector<double> x(file->records.size()), y(file->records.size());
    const double missing = std::numeric_limits<double>::quiet_NaN();
    for (size_t k = 0; k < x.size(); ++k) {
        const Sample& s = file->records[k];
        x[k] = s.x == MissingValue ? missing : double(s.x);
        y[k] = s.y == MissingValue ? missing : double(s.y);
    }
    view.x = doubles(x);
    view.y = doubles(y);
    view.complete = file->completeCount;
    if (const std::string note = conventionNote(file->convention); !note.empty()) {
        view.warnings.append(path + ": " + note);
    }
    if (const std::string w = fieldsWithoutNumberWarning(path, file->fieldsWithoutNumber,
                                                         file->firstFieldWithoutNumberLine);
        !w.empty()) {
        view.warnings.append(w);
    }
    return view;
}

Calibration calibrate(const py::object& x, const py::object& y, const py::object& error,
                      const py::object& modelSd, const py::object& range,
                      const py::object& smoothing, const py::object& vthreshold,
                      const py::object& hthreshold, bool skip, const py::object& c1,
                      const py::object& c2, const py::object& names, const py::object& errorNames,
                      const py::object& source, const py::object& errorSource) {
    ArrayCalibrationRequest request;
    request.x = valuesOf(x, "x");
    request.y = valuesOf(y, "y");
    if (!error.is_none()) {
        if (!py::isinstance<py::sequence>(error) || py::len(error) != 2) {
            refuse("error: give the error data as two arrays (x, y)");
        }
        auto pair = py::reinterpret_borrow<py::sequence>(error);
        request.error = {valuesOf(pair[0], "error x"), valuesOf(pair[1], "error y")};
    }
    if (!modelSd.is_none()) {
        request.modelPercent = wholeSetting(modelSd, "model_sd", MinModelPercent, MaxModelPercent);
    }
    if (!range.is_none()) {
        if (!py::isinstance<py::sequence>(range) || py::isinstance<py::str>(range) ||
            py::len(range) != 2) {
            refuse("range: give two numbers (lo, hi) or None");
        }
        auto pair = py::reinterpret_borrow<py::sequence>(range);
        request.range = {numberOf(pair[0], "range"), numberOf(pair[1], "range")};
    }
    request.settings.smoothing = wholeSetting(smoothing, "smoothing", MinSmoothing, MaxSmoothing);
    request.settings.verticalThreshold = wholeSetting(vthreshold, "vthreshold", 0, MaxThreshold);
    request.settings.horizontalThreshold = wholeSetting(hthreshold, "hthreshold", 0, MaxThreshold);
    request.settings.skip = skip;
    request.settings.coefficient1 = coefficientText(c1, "c1");
    request.settings.coefficient2 = coefficientText(c2, "c2");
    request.names = namePair(names, "names");
    request.errorNames = namePair(errorNames, "error_names");
    request.source = pathOf(source);
    request.errorSource = pathOf(errorSource);

    Result<std::unique_ptr<CalibrationSession>> session = Failure{""};
    {
        py::gil_scoped_release release;
        session = calibrateArrays(request);
    }
    if (!session) {
        refuse(session.reason());
    }
    const CalibrationSession& s = *session.value();
    py::dict settings;
    settings["model_sd"] = s.generatedModel() ? py::object(py::int_(s.settings().modelPercent))
                                              : py::object(py::none());
    settings["range"] = py::make_tuple(leadingNumber(s.captions().lowerText),
                                       leadingNumber(s.captions().upperText));
    settings["smoothing"] = s.settings().smoothing;
    settings["vthreshold"] = s.settings().verticalThreshold;
    settings["hthreshold"] = s.settings().horizontalThreshold;
    settings["skip"] = s.settings().skip;
    settings["c1"] = leadingNumber(s.captions().coefficient[0]);
    settings["c2"] = leadingNumber(s.captions().coefficient[1]);
    py::dict labels;
    labels["names"] = py::make_tuple(fromLatin1(request.names[0]), fromLatin1(request.names[1]));
    labels["source"] = py::bytes(request.source);
    if (request.error) {
        labels["error"] =
            py::make_tuple(doubles(request.error->first), doubles(request.error->second));
        labels["error_names"] =
            py::make_tuple(fromLatin1(request.errorNames[0]), fromLatin1(request.errorNames[1]));
        labels["error_source"] = py::bytes(request.errorSource);
    }
    return Calibration(std::move(session).value(), doubles(request.x), doubles(request.y), settings,
                       labels);
}

// A process pool or a cluster is handed quendrix.calibrate itself, which pickle sends by name
// when the function's __self__ is its module; pybind11's functions carry a capsule there
// instead. So the module's functions are plain ones that call pybind11's.
template <const char* target>
PyObject* forward(PyObject* module, PyObject* args, PyObject* kwargs) {
    PyObject* function = PyObject_GetAttrString(module, target);
    if (!function) {
        return nullptr;
    }
    PyObject* result = PyObject_Call(function, args, kwargs);
    Py_DECREF(function);
    return result;
}

/// Publishes pybind11's function `target` as `name`, a function of the module.
template <const char* target> void publishPicklable(py::module_& m, const char* name) {
    // The definition and its doc must live as long as the module: for the process.
    static std::string doc;
    static PyMethodDef definition{};
    doc = m.attr(target).attr("__doc__").cast<std::string>();
    if (doc.starts_with(target)) {
        doc.replace(0, std::strlen(target), name);
    }
    definition = {name,
                  reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&forward<target>)),
                  METH_VARARGS | METH_KEYWORDS, doc.c_str()};
    m.attr(name) = py::reinterpret_steal<py::object>(
        PyCFunction_NewEx(&definition, m.ptr(), m.attr("__name__").ptr()));
}

constexpr char readDataFileTarget[] = "_read_data_file";
constexpr char calibrateTarget[] = "_calibrate";

} // namespace
} // namespace quendrix::python

PYBIND11_MODULE(quendrix, m) {
    using namespace quendrix;
    using namespace quendrix::python;
    using namespace pybind11::literals;
    m.doc() = R"(Quendrix calibrations from Python.

From calibration samples (X,Y pairs) and error data (X,Y pairs, or a generated Gaussian error
model) calibrate() builds the probability distribution of Y for every X with two confidence
regions, the mode and the half-probability point ("average"), exactly as the Quendrix window
and quendrix-batch do: the same inputs give the same bits.

A missing value is NaN or -9999. Bad input raises ValueError, a file that cannot be read or
written OSError, each with the reason quendrix-batch gives. The calculations release the GIL,
so independent calibrations run in parallel threads.)";
    m.attr("__version__") = ProgramVersion;

    py::class_<DataFileView>(m, "DataFile", "A data file as read by read_data_file().")
        .def_readonly("path", &DataFileView::path, "The path as given.")
        .def_readonly("names", &DataFileView::names, "The header's column names (x, y).")
        .def_readonly("x", &DataFileView::x, "The X values; NaN where missing.")
        .def_readonly("y", &DataFileView::y, "The Y values; NaN where missing.")
        .def_readonly("complete", &DataFileView::complete, "How many records hold both values (N).")
        .def_readonly("warnings", &DataFileView::warnings,
                      "What the user should check: fields without a number read as 0, a file "
                      "read as semicolon-separated with a decimal comma.")
        .def("__len__", [](const DataFileView& f) { return py::len(f.x); })
        .def("__repr__", [](const DataFileView& f) {
            return "<quendrix.DataFile " + py::repr(f.names).cast<std::string>() + ", " +
                   std::to_string(py::len(f.x)) + " records>";
        });

    m.def(readDataFileTarget, &readFile, "path"_a,
          R"(Reads a data file as the windows do: a header of two column names, then X,Y records
(comma-separated, or semicolon-separated with a decimal comma, or tab-separated), at most
10000 of them.

Returns a DataFile with names, x, y (NaN for a missing value), complete and warnings.
Raises OSError when the file cannot be opened and ValueError, with the line, when its content
cannot be read.)");

    py::class_<Calibration>(m, "Calibration", R"(A finished calibration. Made by calibrate().

Arrays cover the shown part of the grid, 201 x 201 cells; prob and classes are indexed
[y, x], row by row as the saved file writes them (plot with origin="lower").)")
        .def_property_readonly("grid", &Calibration::grid,
                               "The 201 axis values of the shown range (X and Y alike).")
        .def_property_readonly("prob", &Calibration::prob,
                               "The probability of Y for every X, float32 [y, x].")
        .def_property_readonly(
            "classes", &Calibration::classes,
            "The confidence class of every cell, int8 [y, x]: 0 outside the regions, 1 in the "
            "wider region only, 2 in both, 3 the mode.")
        .def_property_readonly("mode", &Calibration::mode,
                               "The most probable Y of every column; NaN where none.")
        .def_property_readonly("average", &Calibration::average,
                               "The half-probability Y of every column; NaN where none.")
        .def_property_readonly(
            "settings", &Calibration::settings,
            "The settings that made it: calibrate(x, y, error=..., **settings) gives it again.")
        .def_property_readonly("warnings", &Calibration::warnings,
                               "Why the result is empty, when it is.")
        .def("readout", &Calibration::readout, "x"_a,
             R"(The calibration chart's interval read-out at the section nearest to x.

Returns a dict: status ("ok", "no region" within the range but without a region, "outside
range", "skipped" for a missing x), average and mode (NaN where "Out of range"), c1_intervals
and c2_intervals as tuples of (low, high), -inf or inf where a region runs on beyond the range,
and the coefficients c1 and c2 as shown.)")
        .def("apply", &Calibration::apply, "new_x"_a, py::kw_only(), "full_precision"_a = false,
             R"(Reads the calibration off at every X, as quendrix-batch --apply does.

Returns a dict of arrays, one element per X: x, status, average, mode, c1_intervals and
c2_intervals (as in readout()). With full_precision the numbers are the grid's exact values
instead of the read-out's rounded ones.)")
        .def("check", &Calibration::check, "x"_a, "y"_a,
             R"(The coverage of the confidence regions for independent X,Y pairs, as
quendrix-batch --check --json reports it: a dict with nominal1, nominal2, pairs, share1,
share2, the pairs not counted, deciles and the shares' 95 % intervals.)")
        .def("save", &Calibration::save, "path"_a,
             R"(Saves the calibration in the common output format, the same bytes as
quendrix-batch -o. An existing file is replaced whole or not at all.)")
        .def("__repr__", &Calibration::repr)
        .def(py::pickle([](const Calibration& c) { return c.inputs(); },
                        [](const py::tuple& inputs) {
                            if (inputs.size() != 4) {
                                refuse("not a pickled quendrix.Calibration");
                            }
                            py::object calibrate =
                                py::module_::import("quendrix").attr("calibrate");
                            return calibrate(inputs[0], inputs[1], **py::dict(inputs[2]),
                                             **py::dict(inputs[3]))
                                .cast<Calibration>();
                        }));

    m.def(calibrateTarget, &calibrate, "x"_a, "y"_a, py::kw_only(), "error"_a = py::none(),
          "model_sd"_a = py::none(), "range"_a = py::none(), "smoothing"_a = 5, "vthreshold"_a = 2,
          "hthreshold"_a = 2, "skip"_a = false, "c1"_a = 68.2, "c2"_a = 95.4,
          "names"_a = py::make_tuple("X", "Y"), "error_names"_a = py::make_tuple("X", "Y"),
          "source"_a = "", "error_source"_a = "",
          R"(Calibrates y against x.

x, y: the calibration samples, any array-likes of numbers of one length (NaN or -9999 for a
    missing value), at most 10000 records.
error=(ex, ey): the error data, or
model_sd: the generated error model y = x with this standard deviation, 1..20 % of the range.
range=(lo, hi): the axis range; None proposes one from x and y, as importing them would.
smoothing: 1..25 % of the range. vthreshold, hthreshold: 0..10 samples. skip: skip the
    horizontal normalisation. c1, c2: the confidence coefficients in %, 0..100.
names, error_names, source, error_source: the column names and file names the saved file
    records.

Returns a Calibration. Raises ValueError with the reason when the input cannot be used.)");
    publishPicklable<readDataFileTarget>(m, "read_data_file");
    publishPicklable<calibrateTarget>(m, "calibrate");
}
