#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <variant>

#include "matrix/owned_records.h"
#include "matrix/records.h"
#include "matrix/wide_integers.h"

// Matrix records of any width. The sections whose values come from long chains of exact
// arithmetic (the kernel and what is made from it, the convex basis, the conservation relations,
// the elementary modes and their products) hold their records in the narrowest width that takes
// every value: 32 bits for almost every network, 64, 128 bits or unbounded where the values need
// it. A listing writes the same decimal digits whatever the width.

// An owned record of any width, or none.
class Wide_Mat {
   public:
    using Records = Per_Width<Owned_Basic_Mat>::type;

    Wide_Mat() = default;
    template <typename T>
    Wide_Mat(Owned_Basic_Mat<T> m) : records_(std::move(m)) {}

    // visitor(record) with the record as a const basic_mat<T>* (or, on a non-const Wide_Mat, a
    // basic_mat<T>*) of its own width T; the visitor returns the same type for every width.
    template <typename Visitor>
    decltype(auto) visit(Visitor&& visitor) const {
        return std::visit(
            [&](const auto& m) -> decltype(auto) {
                const auto* record = m.get();
                return visitor(record);
            },
            records_);
    }
    template <typename Visitor>
    decltype(auto) visit(Visitor&& visitor) {
        return std::visit([&](auto& m) -> decltype(auto) { return visitor(m.get()); }, records_);
    }

    // True when it holds no record.
    bool empty() const {
        return visit([](const auto* m) { return m == nullptr; });
    }
    // The index of the record's width (matrix/wide_integers.h).
    std::size_t width() const { return records_.index(); }
    int rows() const {
        return visit([](const auto* m) { return m->rows; });
    }
    int columns() const {
        return visit([](const auto* m) { return m->columns; });
    }

   private:
    Records records_;
};

template <typename T>
using Const_Mat_Pointer = const basic_mat<T>*;

// A record of any width, read only; made from a record pointer or a Wide_Mat without copying.
class Wide_View {
   public:
    template <typename T>
    Wide_View(const basic_mat<T>* m) : records_(m) {}
    template <typename T>
    Wide_View(basic_mat<T>* m) : records_(static_cast<const basic_mat<T>*>(m)) {}
    Wide_View(const Wide_Mat& m)
        : records_(m.visit([](const auto* record) -> Records { return record; })) {}

    // visitor(record) with the record as a const basic_mat<T>* of its own width T.
    template <typename Visitor>
    decltype(auto) visit(Visitor&& visitor) const {
        return std::visit([&](auto m) -> decltype(auto) { return visitor(m); }, records_);
    }

    std::size_t width() const { return records_.index(); }
    int rows() const {
        return visit([](const auto* m) { return m->rows; });
    }
    int columns() const {
        return visit([](const auto* m) { return m->columns; });
    }

   private:
    using Records = Per_Width<Const_Mat_Pointer>::type;
    Records records_;
};

// The index of the narrowest width that holds every value of m.
template <typename T>
std::size_t record_width_needed(const basic_mat<T>* m) {
    std::size_t needed = 0;
    if constexpr (width_index < T >> 0) {
        for (int i = 0; i < m->rows; ++i) {
            for (int j = 0; j < m->columns; ++j) {
                needed = std::max(needed, width_needed(m->head[i][j]));
                if (needed == width_index<T>) return needed;
            }
        }
    }
    return needed;
}

// A copy of m with its values in width W, which must hold them all; m may have no rows.
template <typename W, typename T>
Owned_Basic_Mat<W> converted_mat(const basic_mat<T>* m) {
    Owned_Basic_Mat<W> copy(new_result_mat<W>(m->rows, m->columns, "converted records"));
    for (int i = 0; i < m->rows; ++i) {
        for (int j = 0; j < m->columns; ++j) copy->head[i][j] = converted<W>(m->head[i][j]);
    }
    return copy;
}

// m in the narrowest width that holds its values: m itself when that is its own width, else a
// copy, and m is released.
template <typename T>
Wide_Mat narrowest(Owned_Basic_Mat<T> m) {
    const std::size_t needed = record_width_needed(m.get());
    if (needed == width_index<T>) return Wide_Mat(std::move(m));
    return std::visit(
        [&](auto width) {
            using W = typename decltype(width)::type;
            return Wide_Mat(converted_mat<W>(m.get()));
        },
        width_at(needed));
}

// The record of m in width W: m's own when it has that width, else a copy made into `copy`,
// which keeps it. W must hold every value of m.
template <typename W>
const basic_mat<W>* at_width(Wide_View m, Owned_Basic_Mat<W>& copy) {
    return m.visit([&](const auto* record) -> const basic_mat<W>* {
        using T = std::remove_cv_t<std::remove_pointer_t<decltype(record)> >;
        if constexpr (std::is_same_v<T, basic_mat<W> >) {
            return record;
        } else {
            copy = converted_mat<W>(record);
            return copy.get();
        }
    });
}
