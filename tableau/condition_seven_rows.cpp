#include "tableau/condition_seven_rows.h"

void Condition_Seven_Rows::take(const Pattern_Table& table) {
    words_ = table.pattern_words();
    keys_.clear();
    starts_.assign(1, 0);
    patterns_.clear();
    for (const auto& [key, bucket] : table) {
        if (bucket.zero_begin == bucket.zero_end) continue;
        keys_.push_back(key);
        patterns_.insert(patterns_.end(), table.member_pattern(bucket, bucket.zero_begin),
                         table.member_pattern(bucket, bucket.zero_end));
        starts_.push_back(starts_.back() + (bucket.zero_end - bucket.zero_begin));
    }
}
