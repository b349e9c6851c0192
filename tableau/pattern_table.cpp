#include "tableau/pattern_table.h"

#include <algorithm>
#include <utility>

#include "matrix/wide_integers.h"

unsigned pattern_key(const Zero_Pattern& z) {
    return (static_cast<unsigned>(z.first_nonzero) << 16) | static_cast<unsigned>(z.last_nonzero);
}

template <typename Key, typename Row>
void general_Pattern_Table<Key, Row>::swap_patterns(map_value<Row>& bucket, std::size_t a,
                                                    std::size_t b) {
    std::swap_ranges(bucket.patterns.begin() + a * pattern_words_,
                     bucket.patterns.begin() + (a + 1) * pattern_words_,
                     bucket.patterns.begin() + b * pattern_words_);
}

template <typename Key, typename Row>
void general_Pattern_Table<Key, Row>::copy_pattern(map_value<Row>& bucket, std::size_t from,
                                                   std::size_t to) {
    std::copy_n(bucket.patterns.begin() + from * pattern_words_, pattern_words_,
                bucket.patterns.begin() + to * pattern_words_);
}

template <typename Key, typename Row>
void general_Pattern_Table<Key, Row>::insert(Key key, Row row) {
    map_value<Row>& bucket = buckets_[key];
    bucket.members->push_back(row);
    const unsigned* pattern = source_->pattern(row);
    bucket.patterns.insert(bucket.patterns.end(), pattern, pattern + pattern_words_);
}

template <typename Key, typename Row>
template <typename Predicate>
void general_Pattern_Table<Key, Row>::partition_buckets(const Predicate& predicate) {
    for (auto& [key, bucket] : buckets_) {
        std::vector<Row>& list = *bucket.members;
        // Two-ended swap partition: a row failing the predicate at the front is exchanged with
        // a row meeting it at the back.
        std::size_t front = 0;
        std::size_t back = list.size();
        while (true) {
            while (front < back && predicate(list[front])) ++front;
            while (front < back && !predicate(list[back - 1])) --back;
            if (front >= back) break;
            std::swap(list[front], list[back - 1]);
            swap_patterns(bucket, front, back - 1);
            ++front;
            --back;
        }
        bucket.zero_begin = static_cast<unsigned>(front);
        bucket.zero_end = static_cast<unsigned>(list.size());
    }
}

template <typename Key, typename Row>
void general_Pattern_Table<Key, Row>::erase_zero_member(map_value<Row>& bucket, unsigned position) {
    std::vector<Row>& list = *bucket.members;
    bucket.zero_end -= 1;
    list[position] = list[bucket.zero_end];
    copy_pattern(bucket, bucket.zero_end, position);
    // Rows inserted since the partition stay behind the zero part.
    list[bucket.zero_end] = list.back();
    copy_pattern(bucket, list.size() - 1, bucket.zero_end);
    list.pop_back();
    bucket.patterns.resize(list.size() * pattern_words_);
}

template class general_Pattern_Table<unsigned int, unsigned int>;
template void general_Pattern_Table<unsigned int, unsigned int>::partition_buckets(
    const Column_Predicate<int>&);
template void general_Pattern_Table<unsigned int, unsigned int>::partition_buckets(
    const Column_Predicate<std::int64_t>&);
template void general_Pattern_Table<unsigned int, unsigned int>::partition_buckets(
    const Column_Predicate<Int128>&);
#ifdef KESTRANE_HAVE_GMP
template void general_Pattern_Table<unsigned int, unsigned int>::partition_buckets(
    const Column_Predicate<mpz_class>&);
#endif
