#include "tableau/kernel_tableau.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <iostream>
#include <stdexcept>

#include "tableau/candidates.h"
#include "tableau/coefficient.h"
#include "tableau/pattern_table.h"

namespace {

// Counters of one elementary-mode run, accumulated over all its column steps.
struct Mode_Counters {
    unsigned accepted = 0;         // new rows
    std::int64_t tests_saved = 0;  // pairs refused by the common-zero count, duplicates dropped
    unsigned deleted = 0;          // rows deleted by condition seven
    unsigned ignored = 0;          // candidates rejected as conically dependent
    std::int64_t possible = 0;     // pairs of rows non-zero in the processed columns
    unsigned step = 0;             // column steps finished
};

// Working state of one elementary-mode run; released on every way out of the run.
struct Mode_Run {
    Pattern_Table table;
    std::vector<unsigned> free_rows;  // a stack: the slot taken next is at the back
    Mode_Counters counters;
    bool use_condition_seven;
    std::vector<Keyed_Candidate> keyed;  // working storage of the de-duplication
};

// Largest number of reaction columns whose indices fit the 16-bit halves of a pattern key.
constexpr unsigned max_key_columns = 65536;

template <typename T>
void print_progress(const Kernel_Tableau<T>& t, const Mode_Run& run, unsigned column,
                    std::size_t remaining) {
    const Mode_Counters& c = run.counters;
    std::cout << "Processing column " << column << " (" << remaining << " remaining); so far "
              << t.rows << " rows in table, " << t.reversible_rows.size() - run.free_rows.size()
              << " rows in use" << std::endl;
    std::cout << c.accepted << " rows accepted, " << c.tests_saved << " S-tests saved" << std::endl;
    std::cout << c.deleted << " rows deleted by condition seven, " << c.ignored
              << " combinations ignored by concial dependence;\n";
    std::cout << run.table.size() << " buckets\n";
}

void print_summary(const Mode_Counters& c) {
    std::cout << c.accepted << " rows accepted, " << c.tests_saved << " S-tests saved" << std::endl;
    std::cout << c.deleted << " rows deleted by condition seven\n";
    std::cout << c.ignored << " combinations ignored by concial dependence;\n";
    std::cout << "So far " << c.possible << " possible combinations\n";
}

// Sorts the candidates by union pattern and keeps one candidate of each pattern: pairs with the
// same union support would give the same row. `keyed` is working storage, reused between calls.
template <typename T>
void drop_duplicate_candidates(const Kernel_Tableau<T>& t, std::vector<combination>& list,
                               std::vector<Keyed_Candidate>& keyed, Mode_Counters& counters) {
    keyed.clear();
    for (const combination& pair : list) keyed.push_back(keyed_candidate(pair, t.bit_patterns));
    std::sort(keyed.begin(), keyed.end(), Pattern_Less(t.bit_patterns));
    const auto kept = std::unique(keyed.begin(), keyed.end(), Pattern_Equal(t.bit_patterns));
    counters.tests_saved += keyed.end() - kept;
    list.clear();
    for (auto it = keyed.begin(); it != kept; ++it) list.push_back(it->pair);
}

// Tests the candidates of one list, largest union pattern first, and turns every conically
// independent one into a new row that is zero in `column`. Empties the list.
template <typename T>
void process_candidates(Kernel_Tableau<T>& t, std::vector<combination>& list, unsigned column,
                        Mode_Run& run) {
    if (list.empty()) return;
    Mode_Counters& counters = run.counters;
    drop_duplicate_candidates(t, list, run.keyed, counters);
    while (!list.empty()) {
        const combination candidate = list.back();
        list.pop_back();
        const unsigned a = std::min(candidate.row1, candidate.row2);
        const unsigned b = std::max(candidate.row1, candidate.row2);
        Zero_Pattern summary{INT_MAX, -1, INT_MAX, -1, 0};
        // A pair that is non-zero only in the column would combine into a zero row.
        if (!candidate_summary(t, a, b, column, summary)) continue;
        if (!conical_independence(t, summary, run.table)) {
            ++counters.ignored;
            continue;
        }
        // Copies: growing the tableau below may move the coefficient store.
        const T va = t.coefficients[std::size_t(a) * t.stride + column];
        const T vb = t.coefficients[std::size_t(b) * t.stride + column];
        const bool a_reversible = t.reversible_rows[a];
        const bool b_reversible = t.reversible_rows[b];
        if (run.free_rows.empty()) t.resize_tableau(run.free_rows);
        const unsigned n = run.free_rows.back();
        Int_Combination<T>::combine_rows(std::size_t(a) * t.stride, std::size_t(b) * t.stride, t,
                                         va, vb, a_reversible, b_reversible,
                                         std::size_t(n) * t.stride, t.zero_pattern[n]);
        // Two proportional rows cancel each other everywhere; the slot stays free.
        if (t.zero_pattern[n].first_nonzero == INT_MAX) continue;
        run.free_rows.pop_back();
        ++counters.accepted;
        t.set_pattern(n);
        t.reversible_rows[n] = a_reversible && b_reversible;
        if (run.use_condition_seven) {
            delete_superset_rows(t, n, run.table, run.free_rows, counters.deleted);
        }
        run.table.insert(pattern_key(t.zero_pattern[n]), n);
        Int_Combination<T>::normalize_row(std::size_t(n) * t.stride, t);
        t.row_status[n] = static_cast<int>(counters.step);
        if (n >= t.rows) t.rows = n + 1;
    }
}

// Moves the highest live rows into the lowest free slots until the rows occupy slots 0 to
// rows - 1, then shrinks every per-slot store to them.
template <typename T>
void compact_rows(Kernel_Tableau<T>& t, std::vector<unsigned>& free_rows) {
    std::sort(free_rows.begin(), free_rows.end(), std::greater<unsigned>());
    std::int64_t last = std::int64_t(t.rows) - 1;
    const auto is_free = [&t](std::int64_t slot) { return t.row_status[slot] == -2; };
    while (!free_rows.empty() && std::int64_t(free_rows.back()) < last) {
        while (last >= 0 && is_free(last)) --last;
        if (std::int64_t(free_rows.back()) < last) {
            t.copy_row(static_cast<unsigned>(last), free_rows.back());
            --last;
            free_rows.pop_back();
        }
    }
    while (last >= 0 && is_free(last)) --last;
    t.rows = static_cast<unsigned>(last + 1);
    t.resize_tableau(t.rows);
    free_rows.clear();
}

}  // namespace

template <typename T>
void Kernel_Tableau<T>::resize_tableau(std::vector<unsigned>& free_rows) {
    const unsigned r = this->rows;
    const unsigned capacity = r + (r / 512) * 128 + 128;
    resize_tableau(capacity);
    for (unsigned slot = capacity; slot-- > r;) free_rows.push_back(slot);
}

template <typename T>
void Kernel_Tableau<T>::elementary_modes(bool use_condition_seven, bool after_convex_basis) {
    if (!after_convex_basis) {
        throw std::logic_error(
            "elementary_modes: only the start from a convex-basis tableau is supported");
    }
    if (this->reactions > max_key_columns) {
        throw std::length_error("elementary_modes: more than 65536 reaction columns");
    }
    Mode_Run run{Pattern_Table(this->bit_patterns), {}, Mode_Counters(), use_condition_seven, {}};
    for (unsigned r = 0; r < this->rows; ++r) {
        if (this->zero_pattern[r].first_nonzero == INT_MAX) {
            throw std::invalid_argument(
                "elementary_modes: a starting row is zero in every reaction column");
        }
        run.table.insert(pattern_key(this->zero_pattern[r]), r);
    }
    Row_Classes classes;
    Candidate_Lists candidates(this->reactions);
    // Only the reversible reactions remain to be processed after the convex basis.
    std::vector<unsigned> columns;
    for (unsigned k = 0; k < this->reactions; ++k) {
        if (!this->irreversible_columns[k]) columns.push_back(k);
    }
    this->req_zeros -= 2;
    this->calculate_column_order(columns, false, nullptr);

    while (!columns.empty()) {
        const unsigned column = columns.back();
        columns.pop_back();
        print_progress(*this, run, column, columns.size());
        this->take_time(true);
        run.table.partition_buckets(Column_Predicate<T>{this->coefficients, this->stride, column});
        classify_rows(*this, run.table, column, classes);
        generate_candidates(*this, classes, candidates, run.counters.tests_saved,
                            run.counters.possible);
        classes.rev.clear();
        classes.irrev_pos.clear();
        classes.irrev_neg.clear();
        this->take_time(true);
        // Pairs that share the most zero columns first.
        for (unsigned k = this->reactions; k-- > 0;) {
            process_candidates(*this, candidates[k], column, run);
        }
        ++run.counters.step;
    }

    print_summary(run.counters);
    compact_rows(*this, run.free_rows);
    std::cout << "Found " << this->rows << " elementary modes" << std::endl;
    this->take_time(true);
}

template class Kernel_Tableau<int>;
template class Kernel_Tableau<std::int64_t>;
template class Kernel_Tableau<Int128>;
#ifdef KESTRANE_HAVE_GMP
template class Kernel_Tableau<mpz_class>;
#endif
