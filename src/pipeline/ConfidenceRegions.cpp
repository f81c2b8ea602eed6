#include "pipeline/ConfidenceRegions.h"

#include "base/Vectorise.h"
#include "pipeline/ColumnAnalysis.h"

namespace quendrix {
namespace {

/// Negates the class of the column's marked (negative) cells; returns the last marked row, or
/// -1 when none is marked.
QUENDRIX_VECTOR_CLONES
int applyMarkers(const float* prob, float* confi) {
    int marked = -1;
    for (int j = 0; j < GridSize; ++j) {
        const bool negative = prob[j] < 0;
        confi[j] = negative ? -confi[j] : confi[j];
        marked = negative ? j : marked;
    }
    return marked;
}

} // namespace

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
        float* confi = m.row(Field::Confi, i);
        analysis.classify(i, confi);
        // The half-probability cell of the normalisation is marked by a negative value.
        if (const int marked = applyMarkers(m.row(Field::Prob, i), confi); marked >= 0) {
            columns.aveIndex[c] = marked;
        }
    }
}

} // namespace quendrix
