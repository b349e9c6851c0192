#include "tableau/tableau.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <numeric>
#include <stdexcept>
#include <type_traits>

#include "matrix/allocation.h"
#include "matrix/owned_records.h"
#include "tableau/kestrane_tableau.h"
#include "tableau/parallel_sort.h"
#include "tableau/worker_pool.h"

namespace {

// Fewer rows are sorted by the calling thread alone.
constexpr unsigned shared_sort_rows = 8192;

unsigned checked_columns(Wide_View m) {
    if (m.visit([](const auto* record) { return record == nullptr; }) || m.rows() < 0 ||
        m.columns() < 0) {
        throw std::invalid_argument("tableau: matrix record missing or with a negative size");
    }
    return static_cast<unsigned>(m.columns());
}

// A zero-filled matrix record with room for `rows` row pointers and no rows yet. A tableau
// without rows still gets a one-element pointer array, so that the record is released as usual.
template <typename W>
basic_mat<W>* new_result_record(unsigned rows, unsigned columns, const char* label) {
    basic_mat<W>* result = zero_alloc_array<basic_mat<W> >(1, label);
    result->rows = static_cast<int>(rows);
    result->columns = static_cast<int>(columns);
    result->head = zero_alloc_array<W*>(std::max(rows, 1u), label);
    return result;
}

}  // namespace

template <typename T, typename Combination>
Tableau<T, Combination>::Tableau(Wide_View m, const simple_vector* /*rev*/, unsigned* /*order*/)
    : rows(checked_columns(m)),
      req_zeros(0),
      reactions(rows),
      scratch_pattern(nullptr),
      stride(static_cast<unsigned>(m.rows()) + rows),
      reversible_rows(rows, false),
      irreversible_columns(rows, false),
      zero_pattern(rows, Zero_Pattern{0, 0, 0, 0, 0}),
      bit_patterns(static_cast<int>(rows), rows),
      row_status(rows, 0),
      start_clock(0),
      minutes_used(0.0f) {}

template <typename T, typename Combination>
void Tableau<T, Combination>::copy_row(unsigned from, unsigned to) {
    auto source = coefficients.begin() + std::size_t(from) * stride;
    std::copy(source, source + stride, coefficients.begin() + std::size_t(to) * stride);
    const unsigned* words = bit_patterns.pattern(from);
    std::copy(words, words + bit_patterns.words_per_row, bit_patterns.pattern(to));
    reversible_rows[to] = reversible_rows[from];
    zero_pattern[to] = zero_pattern[from];
    row_status[to] = row_status[from];
}

template <typename T, typename Combination>
void Tableau<T, Combination>::resize_tableau(unsigned n) {
    const std::size_t words = bit_patterns.words_per_row;
    reversible_rows.resize(n, false);
    zero_pattern.resize(n, Zero_Pattern{0, 0, 0, 0, 0});
    bit_patterns.patterns.resize(std::size_t(n) * words, 0xFFFFFFFFu);
    row_status.resize(n, -2);
    coefficients.resize(std::size_t(n) * stride, T(0));
}

namespace {

// Makes room in v for `wanted` elements, growing it as resizing would: to at least twice its
// size.
template <typename Vector>
void reserve_growing(Vector& v, std::size_t wanted) {
    if (wanted > v.capacity()) v.reserve(std::max(wanted, 2 * v.size()));
}

}  // namespace

template <typename T, typename Combination>
void Tableau<T, Combination>::reserve_tableau(unsigned n) {
    reserve_growing(reversible_rows, n);
    reserve_growing(zero_pattern, n);
    reserve_growing(bit_patterns.patterns, std::size_t(n) * bit_patterns.words_per_row);
    reserve_growing(row_status, n);
    reserve_growing(coefficients, std::size_t(n) * stride);
}

template <typename T, typename Combination>
void Tableau<T, Combination>::set_zero_pattern(unsigned r) {
    Zero_Pattern& z = zero_pattern.at(r);
    z = Zero_Pattern{INT_MAX, -1, INT_MAX, -1, 0};
    const T* row = coefficients.data() + std::size_t(r) * stride;
    for (unsigned t = 0; t < reactions; ++t) {
        const int column = static_cast<int>(t);
        if (row[t] == 0) {
            ++z.zeros;
            z.first_zero = std::min(z.first_zero, column);
            z.last_zero = std::max(z.last_zero, column);
        } else {
            z.first_nonzero = std::min(z.first_nonzero, column);
            z.last_nonzero = std::max(z.last_nonzero, column);
        }
    }
}

template <typename T, typename Combination>
void Tableau<T, Combination>::set_pattern(unsigned r) {
    bit_patterns.set_pattern(r, coefficients.cbegin() + std::size_t(r) * stride);
}

template <typename T, typename Combination>
void Tableau<T, Combination>::calculate_column_order(std::vector<unsigned>& column_list,
                                                     bool plain_count,
                                                     std::vector<unsigned>* settled) {
    if (column_list.size() < 2) return;
    std::vector<unsigned> key(stride, 0u);
    for (unsigned j : column_list) {
        unsigned rev = 0, pos = 0, neg = 0;
        for (unsigned r = 0; r < rows; ++r) {
            const T value = coefficients[std::size_t(r) * stride + j];
            if (value == 0) continue;
            if (reversible_rows[r]) {
                ++rev;
            } else if (value > 0) {
                ++pos;
            } else {
                ++neg;
            }
        }
        if (plain_count) {
            key[j] = rev + pos + neg;
        } else if ((rev == 0 && (pos == 0 || neg == 0)) || (rev == 1 && pos == 0 && neg == 0)) {
            // Nothing can be combined in this column: every row there keeps its sign.
            key[j] = 0;
        } else {
            // Reversible reactions go after all irreversible ones.
            key[j] = rev + pos + neg + (irreversible_columns.at(j) ? 0u : rows);
        }
    }
    std::stable_sort(column_list.begin(), column_list.end(), Descending_Combinations(key));
    if (settled == nullptr) return;
    while (!column_list.empty() && key[column_list.back()] == 0) {
        settled->push_back(column_list.back());
        column_list.pop_back();
    }
}

template <typename T, typename Combination>
std::size_t Tableau<T, Combination>::rows_width_needed() const {
    std::size_t needed = 0;
    if constexpr (width_index < T >> 0) {
        for (unsigned r = 0; r < rows; ++r) {
            const T* row = coefficients.data() + std::size_t(r) * stride;
            for (unsigned k = 0; k < reactions; ++k) {
                needed = std::max(needed, width_needed(row[k]));
                if (needed == width_index<T>) return needed;
            }
        }
    }
    return needed;
}

template <typename T, typename Combination>
template <typename W>
basic_mat<W>* Tableau<T, Combination>::copy_rows(const std::vector<unsigned>& slots,
                                                 const char* label) const {
    Owned_Basic_Mat<W> result(
        new_result_record<W>(static_cast<unsigned>(slots.size()), reactions, label));
    for (std::size_t g = 0; g < slots.size(); ++g) {
        W* row = zero_values<W>(std::max(reactions, 1u), label);
        result->head[g] = row;
        const T* first = coefficients.data() + std::size_t(slots[g]) * stride;
        std::transform(first, first + reactions, row,
                       [](const T& value) { return converted<W>(value); });
    }
    return result.release();
}

template <typename T, typename Combination>
Wide_Mat Tableau<T, Combination>::copy_rows_narrowest(const std::vector<unsigned>& slots,
                                                      const char* label) const {
    return std::visit(
        [&](auto width) {
            using W = typename decltype(width)::type;
            return Wide_Mat(owned(copy_rows<W>(slots, label)));
        },
        width_at(rows_width_needed()));
}

template <typename T, typename Combination>
Wide_Mat Tableau<T, Combination>::make_mat() const {
    std::vector<unsigned> slots(rows);
    std::iota(slots.begin(), slots.end(), 0u);
    return copy_rows_narrowest(slots, "make_mat");
}

template <typename T, typename Combination>
std::vector<unsigned> Tableau<T, Combination>::sorted_slots() const {
    std::cout << "Sorting modes... ";
    std::vector<unsigned> index(rows);
    std::iota(index.begin(), index.end(), 0u);
    // The threads share the sort of many modes; the order is std::sort's.
    Worker_Pool pool(rows >= shared_sort_rows ? thread_count() : 1);
    parallel_sort(index.begin(), index.end(), Bit_Pattern_Less(bit_patterns), pool);
    return index;
}

template <typename T, typename Combination>
mat* Tableau<T, Combination>::make_sorted_ref_mat() {
    if constexpr (!std::is_same_v<T, int>) {
        throw std::logic_error("make_sorted_ref_mat: the rows are not 32-bit records");
    } else {
        const std::vector<unsigned> index = sorted_slots();
        mat* result = new_result_record<int>(rows, reactions, "make_sorted_ref_mat");
        for (unsigned g = 0; g < rows; ++g) {
            result->head[g] = coefficients.data() + std::size_t(index[g]) * stride;
        }
        std::cout << "finished\n";
        return result;
    }
}

template <typename T, typename Combination>
Wide_Mat Tableau<T, Combination>::make_sorted_mat() const {
    Wide_Mat result = copy_rows_narrowest(sorted_slots(), "make_sorted_mat");
    std::cout << "finished\n";
    return result;
}

template <typename T, typename Combination>
std::clock_t Tableau<T, Combination>::start_time() {
    start_clock = std::clock();
    return start_clock;
}

template <typename T, typename Combination>
void Tableau<T, Combination>::take_time(bool print) {
    const std::clock_t now = std::clock();
    // The readings are taken as unsigned 32-bit numbers; a reading below the start means the
    // clock wrapped around.
    const std::uint32_t now32 = static_cast<std::uint32_t>(now);
    const std::uint32_t start32 = static_cast<std::uint32_t>(start_clock);
    const std::uint32_t elapsed =
        now32 >= start32 ? now32 - start32 : 2147483647u - start32 + now32;
    minutes_used += static_cast<float>(elapsed) / 60000000.0f;
    start_clock = now;
    if (print) write_time_used(std::cout, minutes_used);
}

void write_time_used(std::ostream& out, float minutes_used) {
    const float whole = std::floor(minutes_used);
    const char fill = out.fill();
    out << "Time used for calculations so far: " << static_cast<long>(whole) << "m"
        << std::setfill('0') << std::setw(5) << std::fixed << std::setprecision(2)
        << (minutes_used - whole) * 60.0f << "s" << std::endl;
    out.unsetf(std::ios::floatfield);
    out.fill(fill);
}

#define KESTRANE_TABLEAU(T) template class Tableau<T, Int_Combination<T> >;
KESTRANE_FOR_EACH_WIDTH(KESTRANE_TABLEAU)
