#include "tableau/kestrane_tableau.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "matrix/wide_integers.h"
#include "tableau/pattern_tree.h"

namespace {

// Rows that take no part in a column step keep their slot; new rows take free slots, and the
// store grows by this many slots whenever none is free.
constexpr unsigned slot_chunk = 128;

// Pattern-layout mask with the bits of the irreversible reaction columns set; the bits that
// stand for no column stay 0.
std::vector<unsigned> irreversibility_mask(const std::vector<bool>& irreversible_columns,
                                           unsigned words) {
    std::vector<unsigned> mask(words, 0u);
    for (unsigned k = 0; k < irreversible_columns.size(); ++k) {
        if (irreversible_columns[k]) mask[k / 32] |= 1u << (31 - k % 32);
    }
    return mask;
}

template <typename Table>
void print_column_progress(const Table& t, const Kestrane_Iteration& it, unsigned col,
                           unsigned step, unsigned constraint_columns) {
    std::cout << "Processing column " << col << " (" << step + 1 << "/" << constraint_columns << ")"
              << "; allocated " << t.row_status.size() << " rows, last row at " << t.rows << ", "
              << it.free_slots.size() << " free rows\n"
              << it.current_rows->size() << " rows in tableau" << std::endl;
    std::cout << it.accepted << " rows accepted, " << std::endl;
    std::cout << it.deleted << " rows deleted by condition seven, " << it.ignored
              << " combinations ignored by concial dependence, " << std::endl;
}

// The question of the adjacency test in one column step: does an irreversible row of the step
// other than a and b have all its non-zero irreversible columns among those of a or b (their
// union `joint`)? Then a and b are not adjacent and their combination is not an extreme
// direction. Reversible rows are left out: they are zero in every irreversible column, so each
// of them would lie inside every union and refuse every pair.
//
// A step with many pairs files its irreversible rows, by their irreversible columns, in a
// pattern tree and asks it; a step with few pairs scans the rows for each, since filing them
// would cost more than the scans (a chain of thousands of reactions has one pair a step).
template <typename Table>
class Covering_Rows {
   public:
    // Pairs of a step from which on the rows are filed in a tree.
    static constexpr std::size_t tree_pairs = 64;

    Covering_Rows(const Table& t, const std::vector<unsigned>& rows,
                  const std::vector<unsigned>& irreversible, std::size_t pairs)
        : t_(t), rows_(rows), irreversible_(irreversible) {
        if (pairs < tree_pairs) return;
        const unsigned words = t.bit_patterns.words_per_row;
        tree_.emplace(words, t.reactions);
        std::vector<unsigned> columns(words);
        for (unsigned k : rows) {
            if (t.reversible_rows[k]) continue;
            const unsigned* pattern = t.bit_patterns.pattern(k);
            for (unsigned w = 0; w < words; ++w) columns[w] = pattern[w] & irreversible[w];
            tree_->insert(k, columns.data());
        }
    }

    bool covered(unsigned a, unsigned b, const unsigned* joint) const {
        if (tree_) return tree_->find_inside_except(joint, a, b) != no_row;
        const unsigned words = t_.bit_patterns.words_per_row;
        for (unsigned k : rows_) {
            if (k == a || k == b || t_.reversible_rows[k]) continue;
            const unsigned* pattern = t_.bit_patterns.pattern(k);
            unsigned w = 0;
            while (w < words && (irreversible_[w] & ~joint[w] & pattern[w]) == 0) ++w;
            if (w == words) return true;
        }
        return false;
    }

   private:
    const Table& t_;
    const std::vector<unsigned>& rows_;
    const std::vector<unsigned>& irreversible_;
    std::optional<Pattern_Tree> tree_;
};

// Takes the smallest free slot for a new row, or grows the store by a chunk when none is free;
// keeps t.rows at the highest slot in use.
template <typename Table>
unsigned take_slot(Table& t, Kestrane_Iteration& it, unsigned last_slot) {
    if (it.free_slots.empty()) {
        t.rows = std::max(t.rows, last_slot);
        const unsigned n = t.rows + 1;
        t.rows = n;
        t.resize_tableau(n + slot_chunk);
        for (unsigned s = n + 1; s < n + slot_chunk; ++s) it.free_slots.push(s);
        return n;
    }
    const unsigned n = it.free_slots.top();
    it.free_slots.pop();
    t.rows = std::max(t.rows, n);
    return n;
}

// The rows of the current step split by the column under elimination: [begin, mid) are the rows
// with a non-zero entry there, in their previous order, the rest follow. The order within the
// list matters: pairs are combined in it, so it decides which free slot each new row takes and
// thereby the order of the basis rows in the report (and of the rows the mode iteration starts
// from); the split therefore keeps it (stable_partition).
struct Column_Rows {
    std::vector<unsigned>::iterator begin;
    std::vector<unsigned>::iterator mid;
};

// The step's pivot and how it changes the zeros an extreme direction needs. A reversible row with
// the largest magnitude in the column cancels the column from every other row by itself
// (Gaussian pivot) and is moved to the front; without one, a column whose non-zero rows are all
// of one sign forms no pair (those rows leave). In both cases, as for a column that is zero in
// every row, req_zeros grows by one, which leaves req_zeros - step as it was (see adjacent).
struct Pivot_Choice {
    bool pivot;                  // whether there is a pivot
    std::size_t opposite_pairs;  // pairs of irreversible rows with opposite signs in the column
};

template <typename Table, typename Value>
Pivot_Choice choose_pivot(Table& t, const Column_Rows& rows, Value value) {
    using T = std::remove_cvref_t<decltype(value(0u))>;
    auto pivot = rows.mid;
    T largest = 0;
    std::size_t pos = 0, neg = 0;
    for (auto p = rows.begin; p != rows.mid; ++p) {
        const T& v = value(*p);
        if (t.reversible_rows[*p]) {
            if (magnitude(v) > largest) {
                largest = magnitude(v);
                pivot = p;
            }
        } else if (v > 0) {
            ++pos;
        } else {
            ++neg;
        }
    }
    if (pivot != rows.mid) {
        t.req_zeros += 1;
        std::iter_swap(pivot, rows.begin);
        return {true, pos * neg};
    }
    if (pos == 0 || neg == 0) t.req_zeros += 1;
    return {false, pos * neg};
}

// The adjacency test of two irreversible rows a and b of opposite signs in the column.
// req_zeros starts at the number of irreversible columns, the dimension of the pointed part of the
// cone before any constraint; a column whose rows of both signs are paired cuts that part with a
// hyperplane and lowers its dimension by one, and raises step without raising req_zeros, while
// every other column raises both (choose_pivot). So req_zeros - step is the dimension d of the
// pointed part of the cone cut so far. Two extreme directions of a pointed cone of dimension d are
// adjacent only when they are zero together in at least d - 2 of its inequalities, here the
// irreversible columns: that is the bound below. A pair with fewer common zeros is refused without
// the exact test, which then looks for a third row inside their union.
template <typename Table>
bool adjacent(Table& t, const Covering_Rows<Table>& covering, unsigned a, unsigned b, unsigned step,
              const std::vector<unsigned>& reversible) {
    const unsigned z = t.bit_patterns.count_common_zeros(a, b, reversible.data());
    if (std::int64_t(z) + step < std::int64_t(t.req_zeros) - 2) return false;
    t.bit_patterns.unite(a, b, t.scratch_pattern.get());
    return !covering.covered(a, b, t.scratch_pattern.get());
}

// Where a column step stands, for its pairs.
template <typename Table>
struct Column_Step {
    unsigned step;                            // columns done before this one
    unsigned last_slot;                       // highest slot in use when the step began
    unsigned start_rows;                      // rows of the tableau before the first step
    const std::vector<unsigned>* reversible;  // pattern mask of the reversible columns
    const Covering_Rows<Table>* covering;     // for the adjacency test without a pivot
};

// Combines the pairs of rows with non-zero entries in the column into new rows that are zero
// there: the pivot with every other row, or else every adjacent pair of irreversible rows of
// opposite signs. The new rows go to the next step. On Range_Error the pair and the step are
// saved in `it` and the exception passed on.
template <typename Combination, typename Table, typename Value>
void combine_pairs(Table& t, Kestrane_Iteration& it, const Column_Rows& rows, bool pivot,
                   Value value, const Column_Step<Table>& step) {
    using T = std::remove_cvref_t<decltype(value(0u))>;
    for (auto i = rows.begin; i + 1 < rows.mid; ++i) {
        const unsigned a = *i;
        // Copies: taking a slot may grow the tableau and move the coefficient store.
        const T va = value(a);
        const bool a_reversible = t.reversible_rows[a];
        for (auto j = i + 1; j != rows.mid; ++j) {
            const unsigned b = *j;
            const T vb = value(b);
            const bool b_reversible = t.reversible_rows[b];
            // Without a pivot every row here is irreversible: only pairs of opposite signs
            // cancel the column, and only adjacent ones give extreme directions.
            if (!a_reversible) {
                if ((va > 0) == (vb > 0)) continue;
                if (!adjacent(t, *step.covering, a, b, step.step, *step.reversible)) {
                    ++it.ignored;
                    continue;
                }
            }
            const unsigned n = take_slot(t, it, step.last_slot);
            try {
                Combination::combine_rows(std::size_t(a) * t.stride, std::size_t(b) * t.stride, t,
                                          va, vb, a_reversible, b_reversible,
                                          std::size_t(n) * t.stride, t.zero_pattern[n]);
            } catch (const Range_Error&) {
                it.resume_first = &*i;
                it.resume_second = &*j;
                it.new_slot = n;
                it.step = step.step;
                it.last_slot = step.last_slot;
                it.start_rows = step.start_rows;
                t.rows += 1;
                throw;
            }
            t.set_pattern(n);
            t.reversible_rows[n] = a_reversible && b_reversible;
            ++it.accepted;
            it.next_rows->push_back(n);
            Combination::normalize_row(std::size_t(n) * t.stride, t);
            t.row_status[n] = static_cast<int>(step.step);
        }
        // The pivot has been combined with every other row; those rows are not paired.
        if (pivot) break;
    }
}

// The rows that leave the column step free their slots; those with a zero in the column go on
// to the next step after the new rows, and t.rows becomes the highest slot in use again.
template <typename Table>
void finish_column(Table& t, Kestrane_Iteration& it, const Column_Rows& rows,
                   std::vector<unsigned>& current) {
    for (auto p = rows.begin; p != rows.mid; ++p) it.free_slots.push(*p);
    for (auto p = rows.mid; p != current.end(); ++p) {
        it.next_rows->push_back(*p);
        t.rows = std::max(t.rows, *p);
    }
    std::swap(it.current_rows, it.next_rows);
    it.next_rows->clear();
}

}  // namespace

template <typename T, typename Combination>
Kestrane_Tableau<T, Combination>::Kestrane_Tableau(Wide_View m, const simple_vector* rev,
                                                   unsigned* order)
    : Tableau<T, Combination>(m, rev, order) {
    this->minutes_used = 0.0f;
    this->start_clock = std::clock();
    const unsigned n = this->reactions;
    const unsigned constraints = static_cast<unsigned>(m.rows());
    this->coefficients.assign(std::size_t(this->rows) * this->stride, T(0));
    this->scratch_pattern = std::make_unique<unsigned[]>(this->bit_patterns.words_per_row);
    if (rev != nullptr && n > 0 && (rev->head == nullptr || rev->length < static_cast<int>(n))) {
        throw std::out_of_range(
            "Kestrane_Tableau: reversibility vector shorter than the reactions");
    }
    for (unsigned k = 0; k < n; ++k) {
        this->irreversible_columns.at(k) = rev != nullptr && rev->head[k] > 1e-6;
    }
    m.visit([&](const auto* record) {
        for (unsigned r = 0; r < this->rows; ++r) {
            T* row = this->coefficients.data() + std::size_t(r) * this->stride;
            for (unsigned i = 0; i < constraints; ++i) {
                if (!fits<T>(record->head[i][r])) throw Range_Error();
                row[n + i] = converted<T>(record->head[i][r]);
            }
        }
    });
    for (unsigned r = 0; r < this->rows; ++r) {
        T* row = this->coefficients.data() + std::size_t(r) * this->stride;
        row[r] = 1;
        this->set_pattern(r);
        this->reversible_rows.at(r) = !this->irreversible_columns[r];
        this->set_zero_pattern(r);
        this->row_status.at(r) = -1;
    }
}

template <typename T, typename Combination>
void Kestrane_Tableau<T, Combination>::compact_tableau(std::vector<unsigned>& live,
                                                       Free_Slots& free) {
    if (free.empty()) return;
    this->rows = 0;
    std::sort(live.begin(), live.end());
    for (auto entry = live.end(); entry != live.begin();) {
        --entry;
        const unsigned f = free.top();
        if (*entry > f) {
            this->copy_row(*entry, f);
            free.pop();
            free.push(*entry);
            *entry = f;
        }
        this->rows = std::max(this->rows, *entry);
    }
}

template <typename T, typename Combination>
void Kestrane_Tableau<T, Combination>::convex_basis(Kestrane_Iteration& it, bool resume) {
    if (resume) {
        throw std::logic_error(
            "convex_basis: continuing an iteration interrupted by overflow is not supported");
    }
    const unsigned words = this->bit_patterns.words_per_row;
    const std::vector<unsigned> irreversible =
        irreversibility_mask(this->irreversible_columns, words);
    std::vector<unsigned> reversible(words);
    for (unsigned w = 0; w < words; ++w) reversible[w] = ~irreversible[w];
    const unsigned constraint_columns = this->stride - this->reactions;

    this->req_zeros = static_cast<int>(
        std::count(this->irreversible_columns.begin(), this->irreversible_columns.end(), true));
    it.column_order.resize(constraint_columns);
    std::iota(it.column_order.begin(), it.column_order.end(), this->reactions);
    this->calculate_column_order(it.column_order, true, nullptr);
    const unsigned start_rows = this->rows;
    unsigned step = 0;
    this->rows -= 1;  // from here on the highest slot in use

    while (step < constraint_columns && !it.current_rows->empty()) {
        std::vector<unsigned>& current = *it.current_rows;
        const unsigned col = it.column_order.back();
        it.column_order.pop_back();
        print_column_progress(*this, it, col, step, constraint_columns);
        this->take_time(false);

        auto value = [this, col](unsigned r) -> const T& {
            return this->coefficients[std::size_t(r) * this->stride + col];
        };
        const Column_Rows rows{current.begin(),
                               std::stable_partition(current.begin(), current.end(),
                                                     [&](unsigned r) { return value(r) != 0; })};
        if (rows.mid == rows.begin) {
            this->req_zeros += 1;
            ++step;
            continue;
        }
        const Pivot_Choice choice = choose_pivot(*this, rows, value);

        const unsigned last_slot = this->rows;
        this->rows = 0;
        // Without a pivot the pairs are of irreversible rows and need the adjacency test.
        using Self = Kestrane_Tableau<T, Combination>;
        const Covering_Rows<Self> covering(*this, current, irreversible,
                                           choice.pivot ? 0 : choice.opposite_pairs);
        combine_pairs<Combination>(*this, it, rows, choice.pivot, value,
                                   {step, last_slot, start_rows, &reversible, &covering});
        finish_column(*this, it, rows, current);
        ++step;
    }

    if (it.current_rows->empty()) {
        this->rows = 0;
    } else {
        compact_tableau(*it.current_rows, it.free_slots);
        this->rows += 1;
    }
    this->req_zeros -= static_cast<int>(constraint_columns);
    for (unsigned r = 0; r < this->rows; ++r) {
        if (this->reversible_rows[r]) this->req_zeros += 1;
    }
    std::cout << "Found " << this->rows << " convex basis vectors" << std::endl;
    this->take_time(false);
}

template <typename T, typename Combination>
Kestrane_Iteration::Kestrane_Iteration(const Kestrane_Tableau<T, Combination>& t)
    : current_rows(std::make_unique<std::vector<unsigned> >(t.rows)),
      next_rows(std::make_unique<std::vector<unsigned> >()) {
    std::iota(current_rows->begin(), current_rows->end(), 0u);
}

#define KESTRANE_CONVEX_BASIS(T)                             \
    template class Kestrane_Tableau<T, Int_Combination<T> >; \
    template Kestrane_Iteration::Kestrane_Iteration(         \
        const Kestrane_Tableau<T, Int_Combination<T> >&);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_CONVEX_BASIS)
