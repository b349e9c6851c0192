#pragma once

#include <algorithm>
#include <ctime>
#include <iterator>
#include <memory>
#include <ostream>
#include <vector>

#include "matrix/records.h"
#include "matrix/wide_integers.h"
#include "matrix/wide_mat.h"
#include "tableau/bit_pattern.h"
#include "tableau/int_combination.h"

// Zero summary of the reaction part of one row slot. Columns that do not exist are recorded as
// 2147483647 for the first and -1 for the last.
struct Zero_Pattern {
    int first_zero;
    int last_zero;
    int first_nonzero;
    int last_nonzero;
    int zeros;
};

// Orders column indices by a key table, larger keys first.
class Descending_Combinations {
   public:
    explicit Descending_Combinations(const std::vector<unsigned>& key) : key_(key) {}
    bool operator()(unsigned a, unsigned b) const { return key_[a] > key_[b]; }

   private:
    const std::vector<unsigned>& key_;
};

template <typename T, typename Combination>
class Kestrane_Tableau;

// Working matrix of both pivoting iterations: row slots of `stride` coefficients, the first
// `reactions` of which are the reaction part; any further columns are the constraint part.
// Every slot carries a reversibility flag, a zero summary, a bit pattern of its reaction part
// and a status word (-1 made by a constructor, -2 no row, k >= 0 made in column step k).
// The members are open to the iterations built on it.
template <typename T, typename Combination>
class Tableau {
   public:
    unsigned rows;       // slots in use: 0 to rows - 1
    int req_zeros;       // required number of common zero columns of the adjacency tests
    unsigned reactions;  // reaction columns: 0 to reactions - 1 of every row
    std::unique_ptr<unsigned[]> scratch_pattern;  // one pattern's worth of words
    std::vector<T> coefficients;                  // coefficient (r, k) at r * stride + k
    unsigned stride;                              // columns of every row
    std::vector<bool> reversible_rows;            // per slot: the row may be scaled negatively
    std::vector<bool> irreversible_columns;       // per reaction column
    std::vector<Zero_Pattern> zero_pattern;       // per slot, over the reaction columns
    Bit_Pattern bit_patterns;                     // per slot, over the reaction columns
    std::vector<int> row_status;                  // per slot
    std::clock_t start_clock;                     // start of the current timing interval
    float minutes_used;                           // processor time booked so far

    // Base of a convex-basis tableau over m (constraints x reactions, of any width): m.columns
    // slots of stride m.rows + m.columns with cleared flags and zero summaries, an empty
    // coefficient store. rev and order are not used here; the derived constructor completes the
    // tableau.
    Tableau(Wide_View m, const simple_vector* rev, unsigned* order);

    // Elementary-mode tableau from a convex-basis tableau of coefficients that fit this one's:
    // keeps only the reaction part of its rows 0 to k.rows - 1 (stride = reactions), with status
    // -1, fresh patterns and the copied flags, summaries (both with k's full slot capacity) and
    // timing.
    template <typename U>
    explicit Tableau(const Kestrane_Tableau<U, Int_Combination<U> >& k);

    // Copy of a tableau of another coefficient type whose rows 0 to rows - 1 fit this one: the
    // same slots, flags, summaries, patterns, statuses and timing, the coefficients of those rows
    // converted and every other coefficient 0.
    template <typename U, typename D>
    explicit Tableau(const Tableau<U, D>& other);

    Tableau(const Tableau&) = delete;
    Tableau& operator=(const Tableau&) = delete;

    // Copies slot `from` onto slot `to`: coefficients, pattern, flag, summary and status.
    void copy_row(unsigned from, unsigned to);

    // Makes every per-slot store n slots long without changing rows. New slots hold zero
    // coefficients, cleared flags, zero summaries, all-ones patterns and status -2; a smaller n
    // truncates. The stores' capacities grow geometrically, so that tableaux grown a chunk of
    // slots at a time are not copied whole for every chunk.
    void resize_tableau(unsigned n);

    // Makes room in every per-slot store for n slots, so that resizing to at most n slots moves
    // no store: other threads may read the slots already there meanwhile. A store that has to
    // move grows as resizing would grow it, to at least twice its slots.
    void reserve_tableau(unsigned n);

    // Recomputes zero_pattern[r] from row r's reaction coefficients (std::out_of_range for a slot
    // outside the store).
    void set_zero_pattern(unsigned r);

    // Fills the bit pattern of slot r from its reaction coefficients.
    void set_pattern(unsigned r);

    // Reorders column_list for processing from its back: the column with the fewest non-zero rows
    // comes last, equal keys keep their order. plain_count false (elementary modes) gives key 0 to
    // columns that need no step and puts reversible reaction columns after the irreversible ones.
    // With `settled`, trailing key-0 columns are moved into it. Lists of fewer than 2 columns are
    // left as they are.
    void calculate_column_order(std::vector<unsigned>& column_list, bool plain_count,
                                std::vector<unsigned>* settled);

    // The index of the narrowest width that holds every reaction coefficient of slots 0 to
    // rows - 1.
    std::size_t rows_width_needed() const;

    // New matrix, rows x reactions, copying the reaction parts of slots 0 to rows - 1 in the
    // narrowest width that holds them. The caller owns it wholly.
    Wide_Mat make_mat() const;

    // New matrix record whose row pointers point into the coefficient store, rows ordered by
    // Bit_Pattern_Less. The caller releases only the record and its row-pointer array (free);
    // the rows stay the tableau's and are valid while the tableau lives and is not resized.
    // Only for 32-bit coefficients.
    mat* make_sorted_ref_mat();

    // New matrix, rows x reactions, copying the reaction parts of slots 0 to rows - 1 in the
    // order of make_sorted_ref_mat and the narrowest width that holds them, with its console
    // text. The caller owns it wholly.
    Wide_Mat make_sorted_mat() const;

    // Restarts the timing interval and returns the clock reading.
    std::clock_t start_time();

    // Books the processor time since start_clock into minutes_used, restarts the interval and,
    // when print is true, writes the total to standard output.
    void take_time(bool print);

   private:
    // New matrix of the reaction parts of the given slots, in their order, in width W, which
    // holds them.
    template <typename W>
    basic_mat<W>* copy_rows(const std::vector<unsigned>& slots, const char* label) const;

    // copy_rows in the narrowest width that holds the rows.
    Wide_Mat copy_rows_narrowest(const std::vector<unsigned>& slots, const char* label) const;

    // Slots 0 to rows - 1 in Bit_Pattern_Less order, after writing "Sorting modes... ".
    std::vector<unsigned> sorted_slots() const;
};

// Writes "Time used for calculations so far: <minutes>m<seconds>s" and an end of line, the seconds
// fixed with 2 decimals zero-filled to width 5; afterwards the notation flag and the fill are
// reset, the precision of 2 stays set on the stream.
void write_time_used(std::ostream& out, float minutes_used);

template <typename T, typename Combination>
template <typename U>
Tableau<T, Combination>::Tableau(const Kestrane_Tableau<U, Int_Combination<U> >& k)
    : rows(k.rows),
      req_zeros(k.req_zeros),
      reactions(k.reactions),
      scratch_pattern(nullptr),
      stride(k.reactions),
      reversible_rows(k.reversible_rows),
      irreversible_columns(k.irreversible_columns),
      zero_pattern(k.zero_pattern),
      bit_patterns(static_cast<int>(k.reactions), k.rows),
      row_status(k.rows, -1),
      start_clock(k.start_clock),
      minutes_used(k.minutes_used) {
    coefficients.reserve(std::size_t(stride) * rows);
    for (unsigned r = 0; r < rows; ++r) {
        auto first = k.coefficients.begin() + std::size_t(r) * k.stride;
        std::transform(first, first + reactions, std::back_inserter(coefficients),
                       [](const U& value) { return converted<T>(value); });
        set_pattern(r);
    }
    scratch_pattern = std::make_unique<unsigned[]>(bit_patterns.words_per_row);
}

template <typename T, typename Combination>
template <typename U, typename D>
Tableau<T, Combination>::Tableau(const Tableau<U, D>& other)
    : rows(other.rows),
      req_zeros(other.req_zeros),
      reactions(other.reactions),
      scratch_pattern(std::make_unique<unsigned[]>(other.bit_patterns.words_per_row)),
      coefficients(other.coefficients.size(), T(0)),
      stride(other.stride),
      reversible_rows(other.reversible_rows),
      irreversible_columns(other.irreversible_columns),
      zero_pattern(other.zero_pattern),
      bit_patterns(other.bit_patterns),
      row_status(other.row_status),
      start_clock(other.start_clock),
      minutes_used(other.minutes_used) {
    const std::size_t in_use = std::size_t(rows) * stride;
    for (std::size_t i = 0; i < in_use; ++i) coefficients[i] = converted<T>(other.coefficients[i]);
}
