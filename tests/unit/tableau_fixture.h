#pragma once

#include <cstddef>
#include <vector>

#include "matrix/records.h"
#include "tableau/kestrane_tableau.h"

using Int_Tableau = Tableau<int, Int_Combination<int> >;
using Int_Kestrane = Kestrane_Tableau<int, Int_Combination<int> >;

// A mat record over test-owned storage (no allocation by the toolkit, any size including 0 rows).
class Matrix_Holder {
   public:
    Matrix_Holder(std::vector<std::vector<int> > rows, int columns) : data_(std::move(rows)) {
        for (auto& row : data_) pointers_.push_back(row.data());
        record_.rows = static_cast<int>(data_.size());
        record_.columns = columns;
        record_.head = pointers_.empty() ? nullptr : pointers_.data();
    }
    const mat* get() const { return &record_; }

   private:
    std::vector<std::vector<int> > data_;
    std::vector<int*> pointers_;
    mat record_{};
};

// A simple_vector record over test-owned storage.
class Vector_Holder {
   public:
    explicit Vector_Holder(std::vector<int> values) : data_(std::move(values)) {
        record_.length = static_cast<int>(data_.size());
        record_.head = data_.data();
    }
    const simple_vector* get() const { return &record_; }

   private:
    std::vector<int> data_;
    simple_vector record_{};
};

// Overwrites slot r of t with the given coefficients (all stride columns) and refreshes its
// pattern and zero summary, as the iterations keep them.
inline void write_row(Int_Tableau& t, unsigned r, const std::vector<int>& values) {
    for (std::size_t k = 0; k < values.size(); ++k) t.coefficients[r * t.stride + k] = values[k];
    t.set_pattern(r);
    t.set_zero_pattern(r);
}

// The coefficients of slot r (all stride columns).
inline std::vector<int> row_of(const Int_Tableau& t, unsigned r) {
    auto first = t.coefficients.begin() + std::size_t(r) * t.stride;
    return std::vector<int>(first, first + t.stride);
}

// A tableau of `columns` reaction columns without constraint part (stride = columns), one row per
// column, every column irreversible when `irreversible` is set.
inline Int_Kestrane reaction_tableau(int columns, bool irreversible) {
    Matrix_Holder m({}, columns);
    Vector_Holder rev(std::vector<int>(columns, irreversible ? 1 : 0));
    return Int_Kestrane(m.get(), rev.get(), nullptr);
}
