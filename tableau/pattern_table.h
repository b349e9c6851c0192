#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "tableau/bit_pattern.h"
#include "tableau/tableau.h"

// Key under which a row is filed: its first non-zero reaction column in the high 16 bits, its
// last in the low 16 bits, so that keys order rows by first, then by last non-zero column. The
// row must have a non-zero reaction column and every column index must fit 16 bits.
unsigned pattern_key(const Zero_Pattern& z);

// One bucket of the pattern table. Between two partitions its list reads: [0, zero_begin) rows
// non-zero in the column of the last partition, [zero_begin, zero_end) rows zero there and
// present at that partition, [zero_end, end) rows inserted since.
template <typename Row>
class map_value {
   public:
    std::unique_ptr<std::vector<Row> > members = std::make_unique<std::vector<Row> >();
    // Copies of the members' bit patterns, in member order: the
    // scans of a bucket then read them one after another instead of all over the tableau.
    std::vector<unsigned> patterns;
    unsigned zero_begin = 0;
    unsigned zero_end = 0;
};

// True for a row whose coefficient in `column` is non-zero.
template <typename T>
class Column_Predicate {
   public:
    const std::vector<T>& values;  // a tableau's coefficient store
    unsigned stride;               // its columns per row
    unsigned column;

    bool operator()(unsigned row) const { return values[std::size_t(row) * stride + column] != 0; }
};

// The rows of a tableau filed by pattern key, the buckets in ascending key order. A bucket is made
// on the first insertion of its key and stays, even when its list becomes empty. The table owns
// every bucket's list.
template <typename Key, typename Row>
class general_Pattern_Table {
   public:
    using Buckets = std::map<Key, map_value<Row> >;
    using iterator = typename Buckets::iterator;
    using const_iterator = typename Buckets::const_iterator;

    // A table that files each member with a copy of its pattern from `source`, which must
    // outlive it; a row's pattern must not change while the row is filed.
    explicit general_Pattern_Table(const Bit_Pattern& source)
        : source_(&source), pattern_words_(source.words_per_row) {}

    // Appends `row` and a copy of its pattern to the list of `key`,
    // making the bucket when it is new. Leaves the positions.
    void insert(Key key, Row row);

    // Splits every bucket in place into the rows meeting `predicate` (first) and the rows failing
    // it; zero_begin becomes the number meeting it, zero_end the list's length. The order inside
    // either part is not kept.
    template <typename Predicate>
    void partition_buckets(const Predicate& predicate);

    // Takes the row at `position` (zero_begin <= position < zero_end) out of `bucket`: the last row
    // of the zero part moves into position, the last row of the list into the zero part's end,
    // and zero_end drops by one. The caller examines `position` again.
    void erase_zero_member(map_value<Row>& bucket, unsigned position);

    // The first bucket whose key is not less than `key`.
    iterator lower_bound(Key key) { return buckets_.lower_bound(key); }
    const_iterator lower_bound(Key key) const { return buckets_.lower_bound(key); }
    iterator begin() { return buckets_.begin(); }
    iterator end() { return buckets_.end(); }
    const_iterator begin() const { return buckets_.begin(); }
    const_iterator end() const { return buckets_.end(); }

    // Number of buckets.
    std::size_t size() const { return buckets_.size(); }

    // Words of each filed pattern copy.
    unsigned pattern_words() const { return pattern_words_; }

    // The filed pattern copy of the member at `position` of `bucket`.
    const unsigned* member_pattern(const map_value<Row>& bucket, std::size_t position) const {
        return bucket.patterns.data() + position * pattern_words_;
    }

   private:
    // Exchanges the pattern copies of the members at positions a and b of `bucket`.
    void swap_patterns(map_value<Row>& bucket, std::size_t a, std::size_t b);

    // Copies the pattern copy of the member at `from` onto the one at `to`.
    void copy_pattern(map_value<Row>& bucket, std::size_t from, std::size_t to);

    Buckets buckets_;
    const Bit_Pattern* source_;
    unsigned pattern_words_;
};

using Pattern_Table = general_Pattern_Table<unsigned int, unsigned int>;
