#include "tableau/pattern_table.h"

#include <utility>

unsigned pattern_key(const Zero_Pattern& z) {
    return (static_cast<unsigned>(z.first_nonzero) << 16) | static_cast<unsigned>(z.last_nonzero);
}

template <typename Key, typename Row>
void general_Pattern_Table<Key, Row>::insert(Key key, Row row) {
    buckets_[key].members->push_back(row);
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
    // Rows inserted since the partition stay behind the zero part.
    list[bucket.zero_end] = list.back();
    list.pop_back();
}

template class general_Pattern_Table<unsigned int, unsigned int>;
template void general_Pattern_Table<unsigned int, unsigned int>::partition_buckets(
    const Column_Predicate<int>&);
