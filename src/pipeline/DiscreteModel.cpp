#include "pipeline/DiscreteModel.h"

#include "base/NumberText.h"
#include "base/Vectorise.h"
#include "pipeline/MatrixProduct.h"

#include <algorithm>
#include <cmath>

namespace quendrix {

namespace {

QUENDRIX_VECTOR_CLONES
std::size_t countInto(float* samples, const Sample* records, std::size_t count, const Grid& grid) {
    // The indices of a batch of samples first, several at once, then the counts one by one.
    constexpr std::size_t Batch = 256;
    double ix[Batch];
    double iy[Batch];
    std::size_t counted = 0;
    for (std::size_t base = 0; base < count; base += Batch) {
        const std::size_t n = std::min(Batch, count - base);
        for (std::size_t k = 0; k < n; ++k) {
            ix[k] = gridIndex(records[base + k].x, grid);
            iy[k] = gridIndex(records[base + k].y, grid);
        }
        for (std::size_t k = 0; k < n; ++k) {
            if (records[base + k].complete() && ix[k] >= 0 && ix[k] <= 250 && iy[k] >= 0 &&
                iy[k] <= 250) {
                samples[int(ix[k]) * GridSize + int(iy[k])] += 1.0f;
                ++counted;
            }
        }
    }
    return counted;
}

} // namespace

std::size_t countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    StageMatrix::Plane& samples = m.plane(Field::Samples);
    samples.fill(0.0f);
    return countInto(samples.data(), file1.records.data(), file1.records.size(), grid);
}

std::size_t descreteModel(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    const std::size_t counted = countSamples(m, file1, grid);
    multipleMatrix(m, Field::Model, Field::Samples, Field::Discrete);
    return counted;
}

} // namespace quendrix
