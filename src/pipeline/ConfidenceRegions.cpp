#include "pipeline/ConfidenceRegions.h"

#include "pipeline/ColumnAnalysis.h"

namespace quendrix {

void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns) {
    const ColumnAnalysis analysis(m.row(Field::Prob, 0), GridSize, GridSize, GridSize,
                                  coefficients);
    for (int i = 0; i < GridSize; ++i) {
        const auto c = size_t(i);
        columns.modeIndex[c] = analysis.mode(i);
        columns.confLevel[c] = analysis.levels(i);
        if (columns.modeIndex[c] == NoIndex) {
            columns.aveIndex[c] = NoIndex;
        }
        const float* prob = m.row(Field::Prob, i);
        float* confi = m.row(Field::Confi, i);
        analysis.classify(i, confi);
        // The half-probability cell of the normalisation is marked by a negative value.
        for (int j = 0; j < GridSize; ++j) {
            if (prob[j] < 0) {
                confi[j] = -confi[j];
                columns.aveIndex[c] = j;
            }
        }
    }
}

} // namespace quendrix
