#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tableau/bit_pattern.h"
#include "tableau/pattern_table.h"

// The rows that condition seven may delete in a column step, as the step begins: the zero parts
// of the pattern table's buckets just after the partition, with copies of their patterns, by
// pattern key. The threads that test candidates search these copies for the buckets that a
// candidate's new row would delete rows from, while the calling thread changes the table: no row
// joins the zero parts during the step, the rows deleted leave them, and a filed row keeps its
// pattern.
class Condition_Seven_Rows {
   public:
    // Copies the zero parts of `table`, which must have been partitioned last.
    void take(const Pattern_Table& table);

    // Calls found(key), in ascending order of key, for every bucket whose zero part held a row
    // whose support contains the support `inner`, whose first and last non-zero columns are
    // `first` and `last`: the buckets condition seven scans for a new row of that support, with
    // `reactions` columns, that hold a row it would delete.
    template <typename Found>
    void for_each_bucket_with_superset(const unsigned* inner, unsigned first, unsigned last,
                                       unsigned reactions, Found&& found) const;

   private:
    std::vector<unsigned> keys_;       // ascending
    std::vector<std::size_t> starts_;  // per bucket, its first row; one more at the end
    std::vector<unsigned> patterns_;   // words_ per row
    unsigned words_ = 0;
};

template <typename Found>
void Condition_Seven_Rows::for_each_bucket_with_superset(const unsigned* inner, unsigned first,
                                                         unsigned last, unsigned reactions,
                                                         Found&& found) const {
    // The ranges of keys are those delete_superset_rows walks: rows whose support begins at or
    // before `first` and ends at or after `last`.
    for (unsigned d = 0; d <= first; ++d) {
        const std::uint64_t upper = (std::uint64_t(d) << 16) + reactions;
        auto key = std::lower_bound(keys_.begin(), keys_.end(), (d << 16) | last);
        for (; key != keys_.end() && *key <= upper; ++key) {
            const std::size_t bucket = static_cast<std::size_t>(key - keys_.begin());
            for (std::size_t row = starts_[bucket]; row < starts_[bucket + 1]; ++row) {
                if (support_inside(inner, &patterns_[row * words_], words_)) {
                    found(*key);
                    break;
                }
            }
        }
    }
}
