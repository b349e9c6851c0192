#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tableau/pattern_table.h"

namespace {

std::vector<unsigned> members_of(const map_value<unsigned>& bucket) { return *bucket.members; }

Zero_Pattern span(int first, int last) { return Zero_Pattern{0, 0, first, last, 0}; }

// Patterns of `rows` slots over 64 columns, each slot's two words telling its index apart.
Bit_Pattern numbered_patterns(unsigned rows) {
    Bit_Pattern bits(64, rows);
    for (unsigned r = 0; r < rows; ++r) {
        bits.pattern(r)[0] = r;
        bits.pattern(r)[1] = ~r;
    }
    return bits;
}

// Expects the filed pattern copy of every member to be its row's pattern in `source`.
void expect_patterns_follow_members(const Pattern_Table& table, const Bit_Pattern& source) {
    ASSERT_EQ(table.pattern_words(), source.words_per_row);
    for (const auto& [key, bucket] : table) {
        const std::vector<unsigned>& list = *bucket.members;
        ASSERT_EQ(bucket.patterns.size(), list.size() * source.words_per_row) << "key " << key;
        for (std::size_t p = 0; p < list.size(); ++p) {
            const unsigned* expected = source.pattern(list[p]);
            EXPECT_TRUE(std::equal(expected, expected + source.words_per_row,
                                   table.member_pattern(bucket, p)))
                << "key " << key << ", row " << list[p];
        }
    }
}

TEST(PatternKey, HoldsFirstAndLastNonZeroColumnAndOrdersByFirst) {
    EXPECT_EQ(pattern_key(span(1, 40)), 65536u + 40u);
    EXPECT_EQ(pattern_key(span(2, 9)), 2u * 65536u + 9u);
    EXPECT_EQ(pattern_key(span(0, 0)), 0u);
    EXPECT_EQ(pattern_key(span(65535, 65535)), 0xFFFFFFFFu);

    // A row spanning 2..9 is filed after a row spanning 1..40.
    const Bit_Pattern source = numbered_patterns(8);
    Pattern_Table table(source);
    table.insert(pattern_key(span(2, 9)), 7);
    table.insert(pattern_key(span(1, 40)), 3);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(members_of(table.begin()->second), (std::vector<unsigned>{3}));
    EXPECT_EQ(members_of(std::next(table.begin())->second), (std::vector<unsigned>{7}));
}

TEST(PatternTable, RowsOfOneKeyShareABucketInInsertionOrder) {
    const Bit_Pattern source = numbered_patterns(8);
    Pattern_Table table(source);
    table.insert(5, 4);
    table.insert(9, 1);
    table.insert(5, 2);
    ASSERT_EQ(table.size(), 2u);
    const map_value<unsigned>& bucket = table.lower_bound(5)->second;
    EXPECT_EQ(members_of(bucket), (std::vector<unsigned>{4, 2}));
    EXPECT_EQ(bucket.zero_begin, 0u);
    EXPECT_EQ(bucket.zero_end, 0u);
    EXPECT_EQ(table.lower_bound(6)->first, 9u);
    EXPECT_EQ(table.lower_bound(10), table.end());
}

// Coefficients of five rows (one column each), partitioned by "non-zero in column 0".
struct Partition_Case {
    const char* name;
    std::vector<int> column;
    unsigned zero_begin;
};

class PartitionBuckets : public ::testing::TestWithParam<Partition_Case> {};

TEST_P(PartitionBuckets, PutsTheRowsMeetingThePredicateFirst) {
    const Partition_Case& c = GetParam();
    const Bit_Pattern source = numbered_patterns(static_cast<unsigned>(c.column.size()));
    Pattern_Table table(source);
    for (unsigned r = 0; r < c.column.size(); ++r) table.insert(11, r);
    table.partition_buckets(Column_Predicate<int>{c.column, 1, 0});
    expect_patterns_follow_members(table, source);
    const map_value<unsigned>& bucket = table.begin()->second;
    const std::vector<unsigned> list = members_of(bucket);
    EXPECT_EQ(bucket.zero_begin, c.zero_begin);
    EXPECT_EQ(bucket.zero_end, c.column.size());
    std::vector<unsigned> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<unsigned>{0, 1, 2, 3, 4}));
    for (unsigned p = 0; p < list.size(); ++p) {
        EXPECT_EQ(c.column[list[p]] != 0, p < c.zero_begin) << "position " << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PartitionBuckets,
                         ::testing::Values(Partition_Case{"AllMeet", {1, -2, 3, 4, 5}, 5},
                                           Partition_Case{"NoneMeets", {0, 0, 0, 0, 0}, 0},
                                           Partition_Case{"Alternating", {0, 1, 0, -1, 0}, 2},
                                           Partition_Case{"MeetingAtTheBack", {0, 0, 0, 7, 7}, 2},
                                           Partition_Case{"FailingAtTheBack", {3, 3, 3, 0, 0}, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PartitionBuckets, SplitsEveryBucketOnItsOwn) {
    const std::vector<int> column{0, 5, 6, 0};
    const Bit_Pattern source = numbered_patterns(8);
    Pattern_Table table(source);
    table.insert(1, 0);
    table.insert(1, 1);
    table.insert(2, 2);
    table.insert(3, 3);
    table.partition_buckets(Column_Predicate<int>{column, 1, 0});
    std::vector<std::vector<unsigned> > positions;
    for (const auto& [key, bucket] : table)
        positions.push_back({bucket.zero_begin, bucket.zero_end});
    EXPECT_EQ(positions, (std::vector<std::vector<unsigned> >{{1, 2}, {1, 1}, {0, 1}}));
    EXPECT_EQ(members_of(table.begin()->second), (std::vector<unsigned>{1, 0}));
}

TEST(EraseZeroMember, RemovingTheOnlyRowKeepsTheBucket) {
    const std::vector<int> column{0};
    const Bit_Pattern source = numbered_patterns(8);
    Pattern_Table table(source);
    table.insert(4, 0);
    table.partition_buckets(Column_Predicate<int>{column, 1, 0});
    map_value<unsigned>& bucket = table.begin()->second;
    table.erase_zero_member(bucket, 0);
    EXPECT_EQ(table.size(), 1u);
    EXPECT_TRUE(bucket.members->empty());
    EXPECT_EQ(bucket.zero_begin, 0u);
    EXPECT_EQ(bucket.zero_end, 0u);
}

TEST(EraseZeroMember, KeepsTheRowsInsertedSinceThePartitionBehindTheZeroPart) {
    // Rows 10..13 with row 10 alone non-zero in the column.
    std::vector<int> column(16, 0);
    column[10] = 1;
    const Bit_Pattern source = numbered_patterns(16);
    Pattern_Table table(source);
    for (unsigned r = 10; r <= 13; ++r) table.insert(0, r);
    table.partition_buckets(Column_Predicate<int>{column, 1, 0});
    table.insert(0, 14);
    table.insert(0, 15);
    map_value<unsigned>& bucket = table.begin()->second;
    ASSERT_EQ(members_of(bucket), (std::vector<unsigned>{10, 11, 12, 13, 14, 15}));
    ASSERT_EQ(bucket.zero_begin, 1u);
    ASSERT_EQ(bucket.zero_end, 4u);

    // From inside the zero part: its last row fills the hole, the last inserted row moves up.
    table.erase_zero_member(bucket, 1);
    EXPECT_EQ(members_of(bucket), (std::vector<unsigned>{10, 13, 12, 15, 14}));
    EXPECT_EQ(bucket.zero_end, 3u);
    expect_patterns_follow_members(table, source);

    // The last row of the zero part: nothing fills the hole but an inserted row.
    table.erase_zero_member(bucket, 2);
    EXPECT_EQ(members_of(bucket), (std::vector<unsigned>{10, 13, 14, 15}));
    EXPECT_EQ(bucket.zero_begin, 1u);
    EXPECT_EQ(bucket.zero_end, 2u);
    expect_patterns_follow_members(table, source);

    table.erase_zero_member(bucket, 1);
    EXPECT_EQ(members_of(bucket), (std::vector<unsigned>{10, 15, 14}));
    EXPECT_EQ(bucket.zero_end, 1u);
    expect_patterns_follow_members(table, source);
}

}  // namespace
