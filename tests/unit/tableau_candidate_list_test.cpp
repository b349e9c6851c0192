#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "tableau/candidate_list.h"

namespace {

combination pair_number(std::size_t i) {
    return combination{static_cast<unsigned>(i), static_cast<unsigned>(3 * i + 1)};
}

// A key that depends on both rows, so that a pair read after its bytes were overwritten by a
// keyed candidate shows up as a wrong head.
Keyed_Candidate key_of(combination pair) {
    return Keyed_Candidate{(std::uint64_t(pair.row1) << 32) ^ (pair.row2 * 2654435761u), pair};
}

Candidate_List list_of(std::size_t count) {
    Candidate_List list;
    for (std::size_t i = 0; i < count; ++i) list.push_back(pair_number(i));
    return list;
}

// Keying in place turns pair i into the keyed candidate of pair i, for every i, whatever the
// length: 0, 1, lengths around the size where the threads take over and around its doublings,
// with one to three threads; keeping the first keyed candidates gives their pairs back in order.
TEST(CandidateList, KeysInPlaceAndKeepsTheFirstKeyedPairs) {
    const std::vector<std::size_t> lengths{0,
                                           1,
                                           2,
                                           3,
                                           1000,
                                           parallel_keying - 1,
                                           parallel_keying,
                                           2 * parallel_keying + 1,
                                           5 * parallel_keying + 3};
    for (const std::size_t length : lengths) {
        for (const unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "length " << length << ", threads " << threads);
            Worker_Pool pool(threads);
            Candidate_List list = list_of(length);
            const Keyed_Candidate* keyed = list.key_in_place(key_of, pool);
            for (std::size_t i = 0; i < length; ++i) {
                const Keyed_Candidate expected = key_of(pair_number(i));
                ASSERT_EQ(keyed[i].head, expected.head) << "candidate " << i;
                ASSERT_EQ(keyed[i].pair.row1, expected.pair.row1) << "candidate " << i;
                ASSERT_EQ(keyed[i].pair.row2, expected.pair.row2) << "candidate " << i;
            }
            const std::size_t kept = length / 3;
            list.keep_first_keyed(kept);
            ASSERT_EQ(list.size(), kept);
            for (std::size_t i = 0; i < kept; ++i) {
                ASSERT_EQ(list[i].row1, pair_number(i).row1) << "pair " << i;
                ASSERT_EQ(list[i].row2, pair_number(i).row2) << "pair " << i;
            }
            // The list goes on as a list of pairs.
            list.push_back(pair_number(kept));
            EXPECT_EQ(list.back().row2, pair_number(kept).row2);
        }
    }
}

// Appending, truncating and releasing keep the pairs in order, and a moved-from list is empty.
TEST(CandidateList, AppendsTruncatesAndMoves) {
    Candidate_List list = list_of(100);
    list.append(list_of(5));
    list.append(Candidate_List());
    ASSERT_EQ(list.size(), 105u);
    EXPECT_EQ(list[99].row1, 99u);
    EXPECT_EQ(list[100].row1, 0u);
    EXPECT_EQ(list[104].row2, pair_number(4).row2);
    list.truncate(101);
    EXPECT_EQ(list.back().row1, 0u);
    std::vector<unsigned> firsts;
    for (const combination& pair : list) firsts.push_back(pair.row1);
    EXPECT_EQ(firsts.size(), 101u);
    Candidate_List moved = std::move(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(moved.size(), 101u);
    moved.release();
    EXPECT_TRUE(moved.empty());
    moved.push_back(pair_number(7));
    EXPECT_EQ(moved[0].row1, 7u);
}

}  // namespace
