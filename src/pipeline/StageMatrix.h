#pragma once

#include "base/ZeroedBuffer.h"
#include "data/AxisRange.h"

#include <array>
#include <new>

namespace quendrix {

/// Marks "no value" in the index arrays.
inline constexpr int NoIndex = -9999;

/// The eight per-cell values, one per pipeline stage, in their fixed order.
enum class Field { Samples, Model, Discrete, Kernel, Smoothed, NormH, Prob, Confi };
inline constexpr int FieldCount = 8;

/// One cell of the calibration grid, as the stages see it.
struct StageCell {
    float samples, model, discrete, kernel, smoothed, normH, prob, confi;
};

/// The 251 x 251 calibration grid; first index X, second index Y. Each field is held as its own
/// plane, row i contiguous over j, so the matrix products run over whole rows. All planes start
/// at 0.
class StageMatrix {
  public:
    using Plane = std::array<float, GridSize * GridSize>;

    StageMatrix() : storage_(sizeof(Plane) * FieldCount), planes_(makePlanes(storage_)) {}
    StageMatrix(const StageMatrix& other)
        : storage_(other.storage_), planes_(makePlanes(storage_)) {}
    StageMatrix& operator=(const StageMatrix& other) {
        storage_ = other.storage_;
        planes_ = makePlanes(storage_);
        return *this;
    }

    float& at(Field f, int i, int j) { return planes_[size_t(f)][size_t(i * GridSize + j)]; }
    float at(Field f, int i, int j) const { return planes_[size_t(f)][size_t(i * GridSize + j)]; }
    float* row(Field f, int i) { return &planes_[size_t(f)][size_t(i * GridSize)]; }
    const float* row(Field f, int i) const { return &planes_[size_t(f)][size_t(i * GridSize)]; }
    Plane& plane(Field f) { return planes_[size_t(f)]; }
    const Plane& plane(Field f) const { return planes_[size_t(f)]; }

    StageCell cell(int i, int j) const {
        return {at(Field::Samples, i, j), at(Field::Model, i, j),    at(Field::Discrete, i, j),
                at(Field::Kernel, i, j),  at(Field::Smoothed, i, j), at(Field::NormH, i, j),
                at(Field::Prob, i, j),    at(Field::Confi, i, j)};
    }

  private:
    /// The planes laid out one after the other in `storage`, keeping its contents (zeros from
    /// the system, or a copy).
    static Plane* makePlanes(ZeroedBuffer& storage) {
        auto* first = static_cast<Plane*>(storage.data());
        for (int f = 0; f < FieldCount; ++f) {
            new (first + f) Plane;
        }
        return first;
    }

    // The 2 MB of planes, all of which a run fills, come in one large page where the system
    // offers it.
    ZeroedBuffer storage_;
    Plane* planes_;
};

/// Per-column results of the probability and confidence stages.
struct ColumnResults {
    std::array<int, GridSize> modeIndex{};
    std::array<int, GridSize> aveIndex{};
    std::array<std::array<float, 2>, GridSize> confLevel{};
};

} // namespace quendrix
