#include "pipeline/GeneratedModel.h"

#include "pipeline/GaussianModel.h"

namespace quendrix {

float generatedModelStdDev(float rangeWidth, int percent) {
    return float(double(rangeWidth) * percent / 100);
}

Result<float> generateErrorModel(StageMatrix& m, const Grid& grid, float rangeWidth, int percent) {
    const float sd = generatedModelStdDev(rangeWidth, percent);
    if (Status st = gaussianModel(m, grid, 1.0f, 0.0f, sd); !st) {
        return st.failure();
    }
    return sd;
}

} // namespace quendrix
