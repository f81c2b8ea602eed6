#include "python/ArrayCalibration.h"

#include "base/NumberText.h"
#include "data/DataFileReader.h"

#include <cmath>
#include <limits>

namespace quendrix {
namespace {

std::optional<float> single(double value) {
    if (std::isnan(value) || value == double(MissingValue)) {
        return std::nullopt;
    }
    return float(value);
}

} // namespace

Result<DataFile> dataFromArrays(const Values& x, const Values& y, const std::string& label) {
    auto read = measurementsFromArrays(x, &y, label);
    if (!read) {
        return read.failure();
    }
    if (x.size() > size_t(MaxRecords)) {
        return Failure{label + ": more than " + std::to_string(MaxRecords) + " records"};
    }
    DataFile file;
    file.records.reserve(x.size());
    for (const Measurement& m : read.value()) {
        file.records.push_back({m.x.value_or(MissingValue), m.y.value_or(MissingValue)});
    }
    recount(file);
    return file;
}

Result<std::vector<Measurement>> measurementsFromArrays(const Values& x, const Values* y,
                                                        const std::string& label) {
    if (y && x.size() != y->size()) {
        return Failure{label + ": the arrays differ in length (" + std::to_string(x.size()) +
                       " and " + std::to_string(y->size()) + ")"};
    }
    std::vector<Measurement> records(x.size());
    for (size_t k = 0; k < x.size(); ++k) {
        records[k].line = std::int64_t(k);
        records[k].x = single(x[k]);
        if (y) {
            records[k].y = single((*y)[k]);
        }
        // As a file's value, one beyond the singles' range is refused, not turned infinite.
        for (const auto& [value, name] :
             {std::pair{records[k].x, "x"}, std::pair{records[k].y, "y"}}) {
            if (value && !std::isfinite(*value)) {
                return Failure{label + ": record " + std::to_string(k) + ": " + name +
                               " value out of range"};
            }
        }
    }
    return records;
}

Result<std::unique_ptr<CalibrationSession>>
calibrateArrays(const ArrayCalibrationRequest& request) {
    if (request.error.has_value() == request.modelPercent.has_value()) {
        return Failure{request.error ? "give the error data or the generated model, not both"
                                     : "give the error data with error=(x, y) or generate the "
                                       "model with model_sd"};
    }
    auto samples = dataFromArrays(request.x, request.y, "x, y");
    if (!samples) {
        return samples.failure();
    }
    std::optional<DataFile> errorData;
    if (request.error) {
        auto e = dataFromArrays(request.error->first, request.error->second, "error");
        if (!e) {
            return e.failure();
        }
        errorData = std::move(e).value();
        errorData->xName = request.errorNames[0];
        errorData->yName = request.errorNames[1];
    }
    samples->xName = request.names[0];
    samples->yName = request.names[1];

    auto session = std::make_unique<CalibrationSession>();
    applySettings(*session, request.settings);
    if (Status st = session->importData(0, std::move(samples).value(), request.source); !st) {
        return Failure{"x, y: " + st.reason()};
    }
    if (Status st = requireCompleteRecord(*session); !st) {
        return Failure{"x, y: " + st.reason()};
    }
    if (errorData) {
        if (Status st = session->importData(1, std::move(*errorData), request.errorSource); !st) {
            return Failure{"error: " + st.reason()};
        }
    }
    if (request.range) {
        const auto [lower, upper] = *request.range;
        if (!std::isfinite(lower) || !std::isfinite(upper)) {
            return Failure{"invalid range " + shortestText(lower) + " .. " + shortestText(upper) +
                           ": the bounds must be finite numbers"};
        }
        if (Status st = applyRange(*session, shortestText(lower), shortestText(upper)); !st) {
            return st.failure();
        }
    }
    if (Status st = requireAxisRange(*session); !st) {
        return Failure{st.reason() + "; give one with range=(lo, hi)"};
    }
    if (request.modelPercent) {
        if (Status st = applyGeneratedModel(*session, *request.modelPercent); !st) {
            return st.failure();
        }
    }
    if (Status st = session->runAll(); !st) {
        return st.failure();
    }
    if (Status st = session->buildDetail(); !st) {
        return st.failure();
    }
    return session;
}

double readingValue(const std::string& text, double unknown) {
    if (text == "?") {
        return unknown;
    }
    return leadingNumberIfAny(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

} // namespace quendrix
