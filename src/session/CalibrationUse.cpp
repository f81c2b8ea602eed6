#include "session/CalibrationUse.h"

#include "base/NumberText.h"

namespace quendrix {

ReadoutLabels readoutLabels(const CalibrationSession& session) {
    const Captions& c = session.captions();
    return {c.lowerText, c.upperText, c.coefficient[0], c.coefficient[1]};
}

std::vector<Prediction> predictWith(const CalibrationSession& session,
                                    const std::vector<Measurement>& records, bool fullPrecision) {
    return predict(session.detail(), records, readoutLabels(session), fullPrecision);
}

CoverageReport coverageOf(const CalibrationSession& session,
                          const std::vector<Measurement>& pairs) {
    // The captions are what the windows show, so both read the same numbers off them.
    const Captions& c = session.captions();
    return checkCoverage(session.detail(), pairs, leadingNumber(c.lowerText),
                         leadingNumber(c.upperText), leadingNumber(c.coefficient[0]),
                         leadingNumber(c.coefficient[1]));
}

} // namespace quendrix
