#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tableau/bit_pattern.h"
#include "tableau/candidate_list.h"
#include "tableau/generation_round.h"
#include "tableau/pattern_table.h"
#include "tableau/pattern_tree.h"
#include "tableau/tableau.h"
#include "tableau/worker_pool.h"

// Candidate pairs of one column step of the elementary-mode iteration and the tests that decide
// which of them become new rows. The support of a row is its set of non-zero reaction columns,
// read from its bit pattern.

template <typename T>
using Mode_Tableau = Tableau<T, Int_Combination<T> >;

// Number of pattern words a Keyed_Candidate holds in its head.
constexpr unsigned keyed_head_words = 2;

// Word w of the union pattern of the candidate's rows.
inline unsigned union_word(const Bit_Pattern& bits, const Keyed_Candidate& c, unsigned w) {
    return bits.pattern(c.pair.row1)[w] | bits.pattern(c.pair.row2)[w];
}

// Keyed candidate of `pair`, its union pattern taken from the rows' patterns in `bits`. Inline,
// as the packing below: the sort keys every candidate of a list.
inline Keyed_Candidate keyed_candidate(combination pair, const Bit_Pattern& bits) {
    Keyed_Candidate keyed{0, pair};
    for (unsigned w = 0; w < bits.words_per_row && w < keyed_head_words; ++w) {
        keyed.head |= std::uint64_t(union_word(bits, keyed, w)) << (w == 0 ? 32 : 0);
    }
    return keyed;
}

// A candidate of a tableau whose union pattern fits the head (at most 64 reaction columns) packed
// into 12 bytes: the head, whose lowest bits are the same in every candidate (the padding bits,
// set in every pattern, and an absent word 1), carries the high bits of the rows' numbers there,
// and a further word the low 32 bits. The largest list of a column step then takes 12 bytes a
// pair while it is sorted instead of 16.
struct Packed_Candidate {
    std::uint32_t words[3];  // the head with the rows' high bits, then their low bits
};

// How the rows of a candidate fit beside its head: the head's `spare` lowest bits take no
// reaction column, and every row number has at most `row_bits` bits. The row numbers of a pair,
// row1 above row2, make one number of 2 row_bits bits.
class Candidate_Packing {
   public:
    // The packing for the patterns of `bits` over `reactions` columns and rows below `slots`.
    Candidate_Packing(const Bit_Pattern& bits, unsigned reactions, std::size_t slots);

    // Whether every pair of rows fits.
    bool fits() const { return fits_; }

    Packed_Candidate pack(combination pair, const Bit_Pattern& bits) const {
        const std::uint64_t rows = (std::uint64_t(pair.row1) << row_bits_) | pair.row2;
        const std::uint64_t spare_mask = (std::uint64_t(1) << spare_) - 1;
        const std::uint64_t head = (keyed_candidate(pair, bits).head & ~spare_mask) | (rows >> 32);
        Packed_Candidate packed;
        std::memcpy(packed.words, &head, sizeof head);
        packed.words[2] = static_cast<std::uint32_t>(rows);
        return packed;
    }
    combination unpack(const Packed_Candidate& candidate) const {
        std::uint64_t head;
        std::memcpy(&head, candidate.words, sizeof head);
        const std::uint64_t spare_mask = (std::uint64_t(1) << spare_) - 1;
        const std::uint64_t rows = ((head & spare_mask) << 32) | candidate.words[2];
        const std::uint64_t row_mask = (std::uint64_t(1) << row_bits_) - 1;
        return combination{static_cast<unsigned>(rows >> row_bits_),
                           static_cast<unsigned>(rows & row_mask)};
    }

    // The union pattern's part of a packed candidate's head: comparing these orders the
    // candidates as their union patterns do.
    std::uint64_t pattern_part(const Packed_Candidate& candidate) const {
        std::uint64_t head;
        std::memcpy(&head, candidate.words, sizeof head);
        return pattern_part(head);
    }
    // The same of a keyed candidate's head.
    std::uint64_t pattern_part(std::uint64_t head) const { return head >> spare_; }
    // The head's lowest bits that take no reaction column: pattern_part shifts them out.
    unsigned spare_bits() const { return spare_; }

   private:
    unsigned spare_ = 0;
    unsigned row_bits_ = 0;
    bool fits_ = false;
};

// Orders keyed candidates by their union patterns in `bits`, word by word as unsigned numbers.
class Pattern_Less {
   public:
    explicit Pattern_Less(const Bit_Pattern& bits) : bits_(bits) {}
    bool operator()(const Keyed_Candidate& a, const Keyed_Candidate& b) const {
        if (a.head != b.head) return a.head < b.head;
        for (unsigned w = keyed_head_words; w < bits_.words_per_row; ++w) {
            const unsigned x = union_word(bits_, a, w);
            const unsigned y = union_word(bits_, b, w);
            if (x != y) return x < y;
        }
        return false;
    }

   private:
    const Bit_Pattern& bits_;
};

// The rows non-zero in the processed column, by class.
struct Row_Classes {
    std::vector<unsigned> rev;        // reversible rows
    std::vector<unsigned> irrev_pos;  // irreversible rows, positive in the column
    std::vector<unsigned> irrev_neg;  // irreversible rows, negative in the column
};

// Appends to `classes` the rows before zero_begin of every bucket (ascending key order), that is
// the rows non-zero in `column` at the table's last partition.
template <typename T>
void classify_rows(const Mode_Tableau<T>& t, const Pattern_Table& table, unsigned column,
                   Row_Classes& classes);

// Generates the candidates of all pair classes in the order REV/REV, IRREV_POS/REV,
// IRREV_NEG/REV, IRREV_POS/IRREV_NEG. Irreversible rows of the same sign are never paired. A pair
// sharing k common zero columns is appended to lists[k] when k >= t.req_zeros and the round
// fills list k; a pair sharing fewer is refused. The first round of a step prints each class's
// heading to standard output just before its pairs, adds the class's size product to `possible`
// and counts the refused pairs in `tests_saved`. The pairs of every large class are shared out
// over the threads of `pool`; the lists end exactly as with one thread.
template <typename T>
void generate_candidates(const Mode_Tableau<T>& t, const Row_Classes& classes,
                         Generation_Round& round, std::int64_t& tests_saved, std::int64_t& possible,
                         Worker_Pool& pool);

// generate_candidates of a first round that fills every list, with one thread.
template <typename T>
void generate_candidates(const Mode_Tableau<T>& t, const Row_Classes& classes,
                         Candidate_Lists& lists, std::int64_t& tests_saved, std::int64_t& possible);

// Summary of the pair (r1, r2) for the test in `column`: writes their union pattern into
// t.scratch_pattern and the span of their non-zero columns other than `column` into
// summary.first_nonzero / last_nonzero. Returns false, leaving the span unset, when neither row
// is non-zero anywhere else: their combination would be zero in every reaction column.
template <typename T>
bool candidate_summary(Mode_Tableau<T>& t, unsigned r1, unsigned r2, unsigned column,
                       Zero_Pattern& summary);

// candidate_summary with the union pattern written into `union_pattern` (words_per_row words)
// instead of t.scratch_pattern: several threads may summarise candidates at once.
template <typename T>
bool candidate_span(const Mode_Tableau<T>& t, unsigned r1, unsigned r2, unsigned column,
                    Zero_Pattern& summary, unsigned* union_pattern);

// What blocked the last candidates found dependent, the latest first: candidates are tested in
// the order of their union patterns, so the row that blocked one often blocks the next ones.
template <typename Item>
struct Recent {
    static constexpr unsigned size = 32;  // measured: 16 to 64 do about as well
    Item items[size] = {};
    unsigned count = 0;

    // The first item, latest first, that `fits`, made the latest; nullptr when none fits.
    template <typename Fits>
    const Item* find(Fits fits) {
        for (unsigned i = 0; i < count; ++i) {
            if (!fits(items[i])) continue;
            const Item found = items[i];
            std::copy_backward(items, items + i, items + i + 1);
            items[0] = found;
            return items;
        }
        return nullptr;
    }

    // Makes `item` the latest, forgetting the oldest when all places are taken.
    void remember(Item item) {
        if (count < size) ++count;
        std::copy_backward(items, items + count - 1, items + count);
        items[0] = item;
    }
};

// The rows that blocked the last candidates tested one at a time.
using Recent_Blockers = Recent<unsigned>;

// The row that makes a candidate conically dependent, found through the tree of every live row:
// a row zero in `column` whose support lies inside `union_pattern`, or no_row when there is
// none. Clears the column's bit in `union_pattern` first: the rows of the tree non-zero in the
// column (the candidate's parents among them) can then never lie inside it, and the rows zero
// there lie inside it exactly when they lie inside the whole union. The recent blockers are
// tried first, and a row found is made the latest of them.
template <typename T>
unsigned conical_blocker(const Mode_Tableau<T>& t, const Pattern_Tree& tree, unsigned column,
                         unsigned* union_pattern, Recent_Blockers& recent);

// conical_blocker against a tree that nobody changes meanwhile, for tests made by several
// threads while another changes the tableau: the recent blockers are kept as their entries in
// the tree (row, then pattern), so that nothing of the tableau beyond the tree is read.
unsigned blocker_in_tree(const Pattern_Tree& tree, unsigned words, unsigned column,
                         unsigned* union_pattern, Recent<const unsigned*>& recent);

// Condition seven: deletes every row of the zero parts of the table (zero in the column at the
// last partition, present then) whose support contains the support of the new row n: its status
// becomes -2, it leaves its bucket and is pushed onto free_rows, and `deleted` grows by one.
// Rows inserted since the partition are left alone; n itself is not yet in the table. The table
// files the patterns of t.bit_patterns.
template <typename T>
void delete_superset_rows(Mode_Tableau<T>& t, unsigned n, Pattern_Table& table,
                          std::vector<unsigned>& free_rows, unsigned& deleted);

// delete_superset_rows scanning only the buckets of `keys` (ascending, each once): the same
// deletions in the same order where no other bucket it would scan holds a row whose support
// contains the support of n (Condition_Seven_Rows finds such keys).
template <typename T>
void delete_superset_rows_in(Mode_Tableau<T>& t, unsigned n, Pattern_Table& table,
                             const std::vector<unsigned>& keys, std::vector<unsigned>& free_rows,
                             unsigned& deleted);
