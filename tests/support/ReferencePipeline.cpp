#include "ReferencePipeline.h"

#include "base/NumberText.h"

#include <cmath>

namespace quendrix::reference {

void multipleMatrix(StageMatrix& m, Field a, Field b, Field c) {
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            float s = 0;
            for (int k = 0; k < GridSize; ++k) {
                s = float(double(s) + double(m.at(b, i, k)) * double(m.at(a, k, j)));
            }
            m.at(c, i, j) = s;
        }
    }
}

std::array<float, 2> columnLevels(const std::vector<float>& column, Coefficients coefficients) {
    float peak = 0, total = 0;
    for (float v : column) {
        peak = std::fmax(peak, std::fabs(v));
        total = float(double(total) + double(std::fabs(v)));
    }
    const std::array<int, 2> share{coefficients.first, coefficients.second};
    std::array<float, 2> level{0, 0};
    for (size_t k = 0; k < 2; ++k) {
        int dir = 1;
        for (int n = 1; n <= 10; ++n) {
            level[k] = float(double(level[k]) + dir * (double(peak) / std::pow(2.0, n)));
            float above = 0;
            for (float v : column) {
                if (std::fabs(v) > level[k]) {
                    above = float(double(above) + double(std::fabs(v)));
                }
            }
            dir = float(share[k] / 1000.0) >= float(double(above) / double(total)) ? -1 : 1;
        }
    }
    return level;
}

void gaussianModel(StageMatrix& m, const Grid& grid, float slope, float intercept, float stdDev) {
    const double s = stdDev;
    for (int i = 0; i < GridSize; ++i) {
        const double line = (i * grid.gridStep + double(grid.gridMin)) * slope + intercept;
        for (int j = 0; j < GridSize; ++j) {
            const double y = j * grid.gridStep + double(grid.gridMin);
            m.at(Field::Model, i, j) = float(std::exp(-((y - line) * (y - line)) / (2 * (s * s))) /
                                             (std::sqrt(6.28318530718) * s));
        }
    }
}

void countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    m.plane(Field::Samples).fill(0);
    for (const Sample& s : file1.records) {
        if (s.x == MissingValue || s.y == MissingValue) {
            continue;
        }
        const float ix = float(roundHalfEven((double(s.x) - double(grid.gridMin)) / grid.gridStep));
        const float iy = float(roundHalfEven((double(s.y) - double(grid.gridMin)) / grid.gridStep));
        if (ix >= 0 && ix <= 250 && iy >= 0 && iy <= 250) {
            m.at(Field::Samples, int(ix), int(iy)) += 1;
        }
    }
}

void normalizeH(StageMatrix& m, const UnitWeights& w, int threshold, bool skip) {
    for (int j = 0; j < GridSize; ++j) {
        float sum = 0;
        for (int i = 0; i < GridSize; ++i) {
            sum += m.at(Field::Smoothed, i, j);
        }
        for (int i = 0; i < GridSize; ++i) {
            const float t = float(w.horizontal * threshold * 1.05), v = m.at(Field::Smoothed, i, j);
            m.at(Field::NormH, i, j) = skip                  ? v
                                       : sum == 0 || t > sum ? 0.0f
                                                             : float(double(v) / double(sum));
        }
    }
}

void normalizeV(StageMatrix& m, const UnitWeights& w, int threshold,
                std::array<int, GridSize>& aveIndex) {
    for (int i = 0; i < GridSize; ++i) {
        float s5 = 0, s4 = 0;
        for (int j = 0; j < GridSize; ++j) {
            s5 += m.at(Field::NormH, i, j);
            s4 += m.at(Field::Smoothed, i, j);
        }
        for (int j = 0; j < GridSize; ++j) {
            const float t = float(w.vertical * threshold * 1.05);
            float& prob = m.at(Field::Prob, i, j);
            prob = s5 == 0 || t > s4 ? 0.0f : float(double(m.at(Field::NormH, i, j)) / double(s5));
        }
    }
    for (int i = 0; i < GridSize; ++i) {
        float total = 0;
        for (int j = 0; j < GridSize; ++j) {
            total += m.at(Field::Prob, i, j);
        }
        aveIndex[size_t(i)] = 0;
        if (total != 0) {
            float c = 0;
            for (int j = 0; j < GridSize; ++j) {
                c += m.at(Field::Prob, i, j);
                if (c > float(double(total) / 2)) {
                    aveIndex[size_t(i)] = j;
                    break;
                }
            }
        }
    }
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 1; j < GridSize; ++j) {
            if (j == aveIndex[size_t(i)]) {
                m.at(Field::Prob, i, j) = -m.at(Field::Prob, i, j);
            }
        }
    }
}

namespace {

/// Peak, mode and total of the magnitudes of one column.
struct ColumnStatistics {
    float peak = 0, total = 0;
    int mode = NoIndex;
};

ColumnStatistics statistics(const std::vector<float>& column) {
    ColumnStatistics s;
    for (size_t j = 0; j < column.size(); ++j) {
        const float a = std::fabs(column[j]);
        if (a > s.peak) {
            s.peak = a;
            s.mode = int(j);
        }
        s.total += a;
    }
    if (s.total == 0) {
        s.mode = NoIndex;
    }
    return s;
}

float classOf(float value, const ColumnStatistics& s, std::array<float, 2> level, int row,
              Coefficients k) {
    float cls = float(std::fabs(value) > level[0]) + float(std::fabs(value) > level[1]);
    if (row > 0 && row == s.mode) {
        cls = 3;
    }
    if ((k.first == 1000 || k.second == 1000) && cls == 0) {
        cls = 1;
    }
    return cls;
}

} // namespace

void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns) {
    for (int i = 0; i < GridSize; ++i) {
        const auto c = size_t(i);
        std::vector<float> column(GridSize);
        for (int j = 0; j < GridSize; ++j) {
            column[size_t(j)] = m.at(Field::Prob, i, j);
            m.at(Field::Confi, i, j) = 0;
        }
        const ColumnStatistics s = statistics(column);
        columns.modeIndex[c] = s.mode;
        columns.confLevel[c] = {0, 0};
        if (s.total == 0) {
            columns.aveIndex[c] = NoIndex;
            continue;
        }
        columns.confLevel[c] = columnLevels(column, coefficients);
        for (int j = 0; j < GridSize; ++j) {
            float& confi = m.at(Field::Confi, i, j);
            confi = classOf(column[size_t(j)], s, columns.confLevel[c], j, coefficients);
            if (column[size_t(j)] < 0) {
                confi = -confi;
                columns.aveIndex[c] = j;
            }
        }
    }
}

void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out) {
    auto p = [&m](int i, int j) { return std::fabs(m.at(Field::Prob, i, j)); };
    auto fine = [&out](int a, int b) -> float& { return out.fineProb[size_t(a * FineSize + b)]; };
    for (int j = 0; j <= 249; ++j) {
        float rowSum = 0;
        for (int i = 0; i <= 250; ++i) {
            rowSum += p(i, j);
        }
        for (int i = 25; i <= 225; ++i) {
            if (rowSum == 0) {
                fine(2 * i, 2 * j) = fine(2 * i, 2 * j + 1) = 0;
                fine(2 * i + 1, 2 * j) = fine(2 * i + 1, 2 * j + 1) = 0;
                if (j > 0) {
                    fine(2 * i, 2 * j - 1) = fine(2 * i + 1, 2 * j - 1) = 0;
                }
                continue;
            }
            const double p00 = p(i, j), p01 = p(i, j + 1), p10 = p(i + 1, j), p11 = p(i + 1, j + 1);
            fine(2 * i, 2 * j) = float(p00);
            fine(2 * i, 2 * j + 1) = float((p01 + p00) / 2);
            if (float(p01 + p00) != 0 && float(p11 + p10) != 0) {
                fine(2 * i + 1, 2 * j) = float((p10 + p00) / 2);
                fine(2 * i + 1, 2 * j + 1) = float((p00 + p10 + p01 + p11) / 4);
            } else {
                fine(2 * i + 1, 2 * j) = fine(2 * i + 1, 2 * j + 1) = 0;
            }
        }
    }
    for (int i = 25; i <= 225; ++i) {
        const double p0 = p(i, 250), p1 = p(i + 1, 250);
        fine(2 * i, 500) = float(p0);
        fine(2 * i + 1, 500) = p0 != 0 && p1 != 0 ? float((p1 + p0) / 2) : 0.0f;
    }

    for (int a = 0; a <= 500; ++a) {
        float tot = 0;
        for (int b = 0; b <= 500; ++b) {
            tot += fine(a, b);
        }
        out.fineAve[size_t(a)] = NoIndex;
        if (tot != 0) {
            float c = 0;
            for (int b = 0; b <= 500; ++b) {
                c += fine(a, b);
                if (c > float(double(tot) / 2)) {
                    out.fineAve[size_t(a)] = b;
                    break;
                }
            }
            if (out.fineAve[size_t(a)] == NoIndex) {
                out.fineAve[size_t(a)] = 0;
            }
        }
    }

    for (int a = 50; a <= 450; ++a) {
        const std::vector<float> column(&fine(a, 0), &fine(a, 0) + 501);
        const ColumnStatistics s = statistics(column);
        out.fineMode[size_t(a)] = s.mode;
        out.fineLevel[size_t(a)] = {0, 0};
        if (s.total != 0) {
            out.fineLevel[size_t(a)] = columnLevels(column, coefficients);
        }
        for (int b = 0; b <= 500; ++b) {
            out.fineConfi[size_t(a * FineSize + b)] =
                s.total == 0
                    ? 0.0f
                    : classOf(column[size_t(b)], s, out.fineLevel[size_t(a)], b, coefficients);
        }
    }
}

} // namespace quendrix::reference
