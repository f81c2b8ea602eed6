#include "pipeline/DiscreteModel.h"

#include "base/NumberText.h"
#include "pipeline/MatrixProduct.h"

namespace quendrix {

void countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    StageMatrix::Plane& samples = m.plane(Field::Samples);
    samples.fill(0.0f);
    for (const Sample& s : file1.records) {
        if (!s.complete()) {
            continue;
        }
        const float ix = float(roundHalfEven((double(s.x) - double(grid.gridMin)) / grid.gridStep));
        const float iy = float(roundHalfEven((double(s.y) - double(grid.gridMin)) / grid.gridStep));
        if (ix >= 0 && ix <= 250 && iy >= 0 && iy <= 250) {
            m.at(Field::Samples, int(ix), int(iy)) += 1.0f;
        }
    }
}

void descreteModel(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    countSamples(m, file1, grid);
    multipleMatrix(m, Field::Model, Field::Samples, Field::Discrete);
}

} // namespace quendrix
