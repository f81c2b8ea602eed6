#include "ReferencePipeline.h"

#include <cmath>

namespace quendrix::reference {
namespace {

float add(float s, float term) {
    return float(double(s) + double(term));
}

} // namespace

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

std::array<float, 2> columnLevels(const std::vector<float>& column, float peak, float total,
                                  Coefficients coefficients) {
    std::array<float, 2> level{0, 0};
    std::array<int, 2> dir{1, 1};
    for (int n = 1; n <= 10; ++n) {
        std::array<float, 2> acc{0, 0};
        const double step = double(peak) / std::pow(2.0, n);
        for (int k = 0; k < 2; ++k) {
            level[size_t(k)] = float(double(level[size_t(k)]) + dir[size_t(k)] * step);
        }
        for (float v : column) {
            const float a = std::fabs(v);
            if (a > level[0]) {
                acc[0] = float(double(acc[0]) + double(a));
            }
            if (a > level[1]) {
                acc[1] = float(double(acc[1]) + double(a));
            }
        }
        const std::array<float, 2> f{float(double(acc[0]) / double(total)),
                                     float(double(acc[1]) / double(total))};
        const std::array<float, 2> t{float(coefficients.first / 1000.0),
                                     float(coefficients.second / 1000.0)};
        for (int k = 0; k < 2; ++k) {
            dir[size_t(k)] = t[size_t(k)] >= f[size_t(k)] ? -1 : 1;
        }
    }
    return level;
}

void countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid) {
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            m.at(Field::Samples, i, j) = 0;
        }
    }
    for (const Sample& s : file1.records) {
        if (s.x == MissingValue || s.y == MissingValue) {
            continue;
        }
        // nearbyint rounds half to even in the default rounding mode.
        const float ix =
            float(std::nearbyint((double(s.x) - double(grid.gridMin)) / grid.gridStep));
        const float iy =
            float(std::nearbyint((double(s.y) - double(grid.gridMin)) / grid.gridStep));
        if (0 <= ix && ix <= 250 && 0 <= iy && iy <= 250) {
            float& n = m.at(Field::Samples, int(ix), int(iy));
            n = add(n, 1);
        }
    }
}

void normalizeH(StageMatrix& m, double unitWeightH, int threshold, bool skip) {
    for (int j = 0; j < GridSize; ++j) {
        float s = 0;
        for (int i = 0; i < GridSize; ++i) {
            s = add(s, m.at(Field::Smoothed, i, j));
        }
        for (int i = 0; i < GridSize; ++i) {
            const float v = m.at(Field::Smoothed, i, j);
            const float t = float(unitWeightH * threshold * 1.05);
            if (skip) {
                m.at(Field::NormH, i, j) = v;
            } else if (s == 0) {
                m.at(Field::NormH, i, j) = 0;
            } else if (t <= s) {
                m.at(Field::NormH, i, j) = float(double(v) / double(s));
            } else {
                m.at(Field::NormH, i, j) = 0;
            }
        }
    }
}

void normalizeV(StageMatrix& m, double unitWeightV, int threshold,
                std::array<int, GridSize>& aveIndex) {
    for (int i = 0; i < GridSize; ++i) {
        float s5 = 0;
        float s4 = 0;
        for (int j = 0; j < GridSize; ++j) {
            s5 = add(s5, m.at(Field::NormH, i, j));
            s4 = add(s4, m.at(Field::Smoothed, i, j));
        }
        for (int j = 0; j < GridSize; ++j) {
            const float t = float(unitWeightV * threshold * 1.05);
            if (s5 == 0 || t > s4) {
                m.at(Field::Prob, i, j) = 0;
            } else {
                m.at(Field::Prob, i, j) = float(double(m.at(Field::NormH, i, j)) / double(s5));
            }
        }
    }
    for (int i = 0; i < GridSize; ++i) {
        float tot = 0;
        for (int j = 0; j < GridSize; ++j) {
            tot = add(tot, m.at(Field::Prob, i, j));
        }
        aveIndex[size_t(i)] = 0;
        float c = 0;
        for (int j = 0; tot != 0 && j < GridSize; ++j) {
            c = add(c, m.at(Field::Prob, i, j));
            if (c > float(double(tot) / 2)) {
                aveIndex[size_t(i)] = j;
                break;
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

void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns) {
    std::array<float, GridSize> peak{};
    std::array<float, GridSize> total{};
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            m.at(Field::Confi, i, j) = 0;
            const float a = std::fabs(m.at(Field::Prob, i, j));
            if (a > peak[size_t(i)]) {
                peak[size_t(i)] = a;
                columns.modeIndex[size_t(i)] = j;
            }
            total[size_t(i)] = add(total[size_t(i)], a);
        }
        if (total[size_t(i)] == 0) {
            columns.modeIndex[size_t(i)] = NoIndex;
            columns.aveIndex[size_t(i)] = NoIndex;
        }
    }
    const bool whole = coefficients.first == 1000 || coefficients.second == 1000;
    for (int i = 0; i < GridSize; ++i) {
        if (!(total[size_t(i)] > 0)) {
            continue;
        }
        std::vector<float> column(GridSize);
        for (int j = 0; j < GridSize; ++j) {
            column[size_t(j)] = m.at(Field::Prob, i, j);
        }
        const auto level = columnLevels(column, peak[size_t(i)], total[size_t(i)], coefficients);
        columns.confLevel[size_t(i)] = level;
        for (int j = 0; j < GridSize; ++j) {
            const float p = m.at(Field::Prob, i, j);
            float cls = m.at(Field::Confi, i, j);
            if (std::fabs(p) > level[0]) {
                cls = cls + 1;
            }
            if (std::fabs(p) > level[1]) {
                cls = cls + 1;
            }
            if (j > 0 && j == columns.modeIndex[size_t(i)]) {
                cls = 3;
            }
            if (whole && cls == 0) {
                cls = 1;
            }
            if (p < 0) {
                cls = -cls;
                columns.aveIndex[size_t(i)] = j;
            }
            m.at(Field::Confi, i, j) = cls;
        }
    }
}

void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out) {
    auto p = [&m](int i, int j) { return double(std::fabs(m.at(Field::Prob, i, j))); };
    auto fine = [&out](int a, int b) -> float& { return out.fineProb[size_t(a * FineSize + b)]; };
    auto confi = [&out](int a, int b) -> float& { return out.fineConfi[size_t(a * FineSize + b)]; };
    for (int j = 0; j <= 249; ++j) {
        float r = 0;
        for (int i = 0; i <= 250; ++i) {
            r = add(r, float(p(i, j)));
        }
        for (int i = 25; i <= 225; ++i) {
            if (r == 0) {
                fine(2 * i, 2 * j) = 0;
                fine(2 * i, 2 * j + 1) = 0;
                fine(2 * i + 1, 2 * j) = 0;
                fine(2 * i + 1, 2 * j + 1) = 0;
                if (j > 0) {
                    fine(2 * i, 2 * j - 1) = 0;
                    fine(2 * i + 1, 2 * j - 1) = 0;
                }
                continue;
            }
            fine(2 * i, 2 * j) = float(p(i, j));
            fine(2 * i, 2 * j + 1) = float((p(i, j + 1) + p(i, j)) / 2);
            const float a = float(p(i, j + 1) + p(i, j));
            const float b = float(p(i + 1, j + 1) + p(i + 1, j));
            if (a != 0 && b != 0) {
                fine(2 * i + 1, 2 * j) = float((p(i + 1, j) + p(i, j)) / 2);
                fine(2 * i + 1, 2 * j + 1) =
                    float((p(i, j) + p(i + 1, j) + p(i, j + 1) + p(i + 1, j + 1)) / 4);
            } else {
                fine(2 * i + 1, 2 * j) = 0;
                fine(2 * i + 1, 2 * j + 1) = 0;
            }
        }
    }
    for (int i = 25; i <= 225; ++i) {
        fine(2 * i, 500) = float(p(i, 250));
        const bool both = p(i + 1, 250) != 0 && p(i, 250) != 0;
        fine(2 * i + 1, 500) = both ? float((p(i + 1, 250) + p(i, 250)) / 2) : 0.0f;
    }
    std::array<float, FineSize> peak{};
    std::array<float, FineSize> total{};
    for (int a = 50; a <= 450; ++a) {
        for (int b = 0; b <= 500; ++b) {
            confi(a, b) = 0;
            if (fine(a, b) > peak[size_t(a)]) {
                peak[size_t(a)] = fine(a, b);
                out.fineMode[size_t(a)] = b;
            }
            total[size_t(a)] = add(total[size_t(a)], fine(a, b));
        }
        if (total[size_t(a)] == 0) {
            out.fineMode[size_t(a)] = NoIndex;
        }
    }
    for (int a = 0; a <= 500; ++a) {
        float tot = 0;
        for (int b = 0; b <= 500; ++b) {
            tot = add(tot, fine(a, b));
        }
        if (tot == 0) {
            out.fineAve[size_t(a)] = NoIndex;
            continue;
        }
        float c = 0;
        for (int b = 0; b <= 500; ++b) {
            c = add(c, fine(a, b));
            if (c > float(double(tot) / 2)) {
                out.fineAve[size_t(a)] = b;
                break;
            }
        }
    }
    const bool whole = coefficients.first == 1000 || coefficients.second == 1000;
    for (int a = 50; a <= 450; ++a) {
        if (!(total[size_t(a)] > 0)) {
            continue;
        }
        const std::vector<float> column(&fine(a, 0), &fine(a, 0) + 501);
        const auto level = columnLevels(column, peak[size_t(a)], total[size_t(a)], coefficients);
        out.fineLevel[size_t(a)] = level;
        for (int b = 0; b <= 500; ++b) {
            float cls = confi(a, b);
            if (fine(a, b) > level[0]) {
                cls = cls + 1;
            }
            if (fine(a, b) > level[1]) {
                cls = cls + 1;
            }
            if (b >= 1 && b == out.fineMode[size_t(a)]) {
                cls = 3;
            }
            if (whole && cls == 0) {
                cls = 1;
            }
            confi(a, b) = cls;
        }
    }
}

} // namespace quendrix::reference
