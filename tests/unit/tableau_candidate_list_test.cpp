#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "tableau/candidate_list.h"

namespace {

combination pair_number(std::size_t i) {
    return combination{static_cast<unsigned>(i), static_cast<unsigned>(3 * i + 1)};
}

// Keys that depend on both rows, so that a pair read after its bytes were overwritten by a
// keyed candidate shows up as a wrong key: of 16 bytes, as the sort's keyed candidates, and of
// 12, as the packed ones.
Keyed_Candidate key_of(combination pair) {
    return Keyed_Candidate{(std::uint64_t(pair.row1) << 32) ^ (pair.row2 * 2654435761u), pair};
}

struct Twelve_Bytes {
    std::uint32_t words[3];
};

Twelve_Bytes twelve_of(combination pair) {
    return Twelve_Bytes{{pair.row1 ^ 0x5555u, pair.row2, pair.row1 + pair.row2}};
}

bool same_key(const Keyed_Candidate& a, const Keyed_Candidate& b) {
    return a.head == b.head && a.pair.row1 == b.pair.row1 && a.pair.row2 == b.pair.row2;
}

bool same_key(const Twelve_Bytes& a, const Twelve_Bytes& b) {
    return a.words[0] == b.words[0] && a.words[1] == b.words[1] && a.words[2] == b.words[2];
}

combination pair_of(const Keyed_Candidate& keyed) { return keyed.pair; }

combination pair_of(const Twelve_Bytes& keyed) {
    return combination{keyed.words[0] ^ 0x5555u, keyed.words[1]};
}

Candidate_List list_of(std::size_t count) {
    Candidate_List list;
    for (std::size_t i = 0; i < count; ++i) list.push_back(pair_number(i));
    return list;
}

// Keying in place turns pair i into the keyed candidate of pair i, for every i, whatever the
// length: 0, 1, lengths around the size where the threads take over and around the bounds of
// the ranges they share, with one to three threads; keeping the first keyed candidates gives
// their pairs back in order, and the list goes on as a list of pairs.
template <typename Keyed>
void expect_keyed_in_place(Keyed (*key)(combination)) {
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
            SCOPED_TRACE(testing::Message() << "length " << length << ", threads " << threads
                                            << ", keys of " << sizeof(Keyed) << " bytes");
            Worker_Pool pool(threads);
            Candidate_List list = list_of(length);
            const Keyed* keyed = list.key_in_place<Keyed>(key, pool);
            for (std::size_t i = 0; i < length; ++i) {
                ASSERT_TRUE(same_key(keyed[i], key(pair_number(i)))) << "candidate " << i;
            }
            const std::size_t kept = length / 3;
            list.keep_first_keyed<Keyed>(kept, [](const Keyed& k) { return pair_of(k); });
            ASSERT_EQ(list.size(), kept);
            for (std::size_t i = 0; i < kept; ++i) {
                ASSERT_EQ(list[i].row1, pair_number(i).row1) << "pair " << i;
                ASSERT_EQ(list[i].row2, pair_number(i).row2) << "pair " << i;
            }
            list.push_back(pair_number(kept));
            EXPECT_EQ(list.back().row2, pair_number(kept).row2);
        }
    }
}

TEST(CandidateList, KeysInPlaceAndKeepsTheFirstKeyedPairs) {
    expect_keyed_in_place(key_of);
    expect_keyed_in_place(twelve_of);
}

// Extending, truncating and releasing keep the pairs in order, and a moved-from list is empty.
TEST(CandidateList, ExtendsTruncatesAndMoves) {
    Candidate_List list = list_of(100);
    combination* added = list.extend(5);
    for (std::size_t i = 0; i < 5; ++i) added[i] = pair_number(i);
    list.extend(0);
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
