#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "tableau/candidate_list.h"

namespace {

// The codes of lists of pairs of 4 to 8 bytes, by the slots the rows lie below (0: the default
// code).
struct Code_Case {
    std::size_t slots;
    unsigned bytes;
};
const std::vector<Code_Case> codes{{0, 8},       {1 << 16, 4}, {1 << 20, 5},
                                   {1 << 24, 6}, {1 << 28, 7}, {std::size_t(1) << 32, 8}};

Pair_Code code_of(const Code_Case& c) {
    return c.slots == 0 ? Pair_Code() : Pair_Code::for_slots(c.slots);
}

// Pair i of a list whose rows lie below `slots` (0: any row), its rows spread over their range.
combination pair_number(std::size_t i, std::size_t slots = 0) {
    const std::uint64_t limit = slots == 0 ? std::uint64_t(1) << 32 : slots;
    return combination{static_cast<unsigned>((i * 2654435761u) % limit),
                       static_cast<unsigned>((3 * i + 1) % limit)};
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

Candidate_List list_of(std::size_t count, const Code_Case& code = codes[0]) {
    Candidate_List list;
    list.use(code_of(code));
    for (std::size_t i = 0; i < count; ++i) list.push_back(pair_number(i, code.slots));
    return list;
}

void expect_pair(combination actual, combination expected) {
    EXPECT_EQ(actual.row1, expected.row1);
    EXPECT_EQ(actual.row2, expected.row2);
}

// Each code takes as few bytes as both row numbers need, at least 4, and gives back every pair
// it stores, the largest row numbers included.
TEST(PairCode, StoresBothRowsInAsFewBytesAsTheyNeed) {
    for (const Code_Case& c : codes) {
        SCOPED_TRACE(c.slots);
        const Pair_Code code = code_of(c);
        EXPECT_EQ(code.bytes(), c.bytes);
        const unsigned top =
            static_cast<unsigned>((c.slots == 0 ? std::size_t(1) << 32 : c.slots) - 1);
        for (const combination pair : {combination{0, 0}, combination{top, 0}, combination{0, top},
                                       combination{top, top - 1}}) {
            const std::uint64_t number = code.encode(pair);
            EXPECT_LT(std::bit_width(number), 8 * code.bytes() + 1);
            expect_pair(code.decode(number), pair);
        }
    }
    EXPECT_EQ(Pair_Code::for_slots(0).bytes(), 4u);
    EXPECT_EQ(Pair_Code::for_slots(1).bytes(), 4u);
}

// Keying in place turns pair i into the keyed candidate of pair i, for every i, whatever the
// length: 0, 1, lengths around the size where the threads take over and around the bounds of
// the ranges they share, with one to three threads; the first keyed candidates written back as
// pairs are the list after shrinking it, and the list goes on as a list of pairs.
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
    for (const Code_Case& code : codes) {
        for (const std::size_t length : lengths) {
            for (const unsigned threads : {1u, 2u, 3u}) {
                SCOPED_TRACE(testing::Message()
                             << "length " << length << ", threads " << threads << ", keys of "
                             << sizeof(Keyed) << " bytes, pairs of " << code.bytes);
                Worker_Pool pool(threads);
                Candidate_List list = list_of(length, code);
                const Keyed* keyed = list.key_in_place<Keyed>(key, pool);
                for (std::size_t i = 0; i < length; ++i) {
                    ASSERT_TRUE(same_key(keyed[i], key(pair_number(i, code.slots))))
                        << "candidate " << i;
                }
                // Pair i written over the keys, upward, after key i is read, then the list
                // shrunk to them, as the keyed candidates kept are turned back into pairs.
                const std::size_t kept = length / 3;
                for (std::size_t i = 0; i < kept; ++i) {
                    const Keyed k = keyed[i];
                    list.set(i, pair_of(k));
                }
                list.shrink_to(kept);
                ASSERT_EQ(list.size(), kept);
                for (std::size_t i = 0; i < kept; ++i) {
                    ASSERT_EQ(list[i].row1, pair_number(i, code.slots).row1) << "pair " << i;
                    ASSERT_EQ(list[i].row2, pair_number(i, code.slots).row2) << "pair " << i;
                }
                list.push_back(pair_number(kept, code.slots));
                EXPECT_EQ(list.back().row2, pair_number(kept, code.slots).row2);
            }
        }
    }
}

TEST(CandidateList, KeysInPlaceAndKeepsTheFirstKeyedPairs) {
    expect_keyed_in_place(key_of);
    expect_keyed_in_place(twelve_of);
}

// A list large enough for its threads to take the keys' pages at once is keyed right, and
// shrinking it while its threads give back the pages let go keeps the pairs written back,
// whether the pages given back begin right after them or further on, and the list goes on.
TEST(CandidateList, ShrinkingWithThreadsKeepsThePairsWrittenBack) {
    const std::size_t length = 8 * shared_release_pages * 4096 / sizeof(Twelve_Bytes);
    for (const std::size_t kept : {std::size_t(0), std::size_t(1), std::size_t(1000), length / 2}) {
        for (const unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "kept " << kept << ", threads " << threads);
            Worker_Pool pool(threads);
            Candidate_List list = list_of(length, codes[1]);
            const Twelve_Bytes* keyed = list.key_in_place<Twelve_Bytes>(twelve_of, pool);
            for (std::size_t i = 0; i < kept; ++i) {
                const Twelve_Bytes k = keyed[2 * i];
                list.set(i, pair_of(k));
            }
            list.shrink_to(kept, pool);
            ASSERT_EQ(list.size(), kept);
            for (std::size_t i = 0; i < kept; ++i) {
                ASSERT_EQ(list[i].row1, pair_number(2 * i, codes[1].slots).row1) << "pair " << i;
                ASSERT_EQ(list[i].row2, pair_number(2 * i, codes[1].slots).row2) << "pair " << i;
            }
            list.push_back(pair_number(7, codes[1].slots));
            EXPECT_EQ(list.back().row1, pair_number(7, codes[1].slots).row1);
        }
    }
}

// Extending, copying in, setting, truncating and releasing keep the pairs in order with every
// code, the stored pairs reordered in place are the list's new order, a moved-from list is empty,
// a list holding pairs refuses another code, and a list refuses to copy in pairs stored otherwise
// or beyond its end.
TEST(CandidateList, ExtendsCopiesSetsTruncatesReordersAndMoves) {
    for (const Code_Case& code : codes) {
        SCOPED_TRACE(code.bytes);
        Candidate_List list = list_of(100, code);
        const std::size_t added = list.extend(5);
        ASSERT_EQ(added, 100u);
        list.copy_in(added + 2, list_of(3, code));
        list.copy_in(added, list_of(2, code));
        list.copy_in(added, list_of(0, code));
        EXPECT_EQ(list.extend(0), 105u);
        ASSERT_EQ(list.size(), 105u);
        // A block that must grow grows to the size expected where that is more than double.
        Candidate_List expecting = list_of(100, code);
        EXPECT_EQ(expecting.extend(expecting.capacity() - 99, 1000), 100u);
        EXPECT_GE(expecting.capacity(), 1000u);
        expect_pair(expecting[99], pair_number(99, code.slots));
        // Room left: the block stays as it is.
        const std::size_t room = expecting.capacity();
        const std::size_t end = expecting.size();
        EXPECT_EQ(expecting.extend(1, 5000), end);
        EXPECT_EQ(expecting.capacity(), room);
        // Where doubling gives more than expected, the block doubles.
        Candidate_List doubling = list_of(100, code);
        const std::size_t before = doubling.capacity();
        doubling.extend(before - 99, 10);
        EXPECT_EQ(doubling.capacity(), 2 * before);
        expect_pair(list[101], pair_number(1, code.slots));
        expect_pair(list[102], pair_number(0, code.slots));
        list.copy_in(added, list_of(5, code));
        expect_pair(list[99], pair_number(99, code.slots));
        expect_pair(list[100], pair_number(0, code.slots));
        expect_pair(list[104], pair_number(4, code.slots));
        list.set(103, pair_number(9, code.slots));
        expect_pair(list[103], pair_number(9, code.slots));
        expect_pair(list[104], pair_number(4, code.slots));
        const Code_Case& other = code.bytes == 4 ? codes[2] : codes[1];
        EXPECT_THROW(list.copy_in(0, list_of(1, other)), std::logic_error);
        EXPECT_THROW(list.copy_in(104, list_of(2, code)), std::out_of_range);
        list.truncate(101);
        expect_pair(list.back(), pair_number(0, code.slots));
        list.with_stored_pairs([&code](auto* first, auto* last) {
            EXPECT_EQ(sizeof(*first), code.bytes);
            std::reverse(first, last);
        });
        ASSERT_EQ(list.size(), 101u);
        expect_pair(list[0], pair_number(0, code.slots));
        expect_pair(list[1], pair_number(99, code.slots));
        expect_pair(list[100], pair_number(0, code.slots));
        EXPECT_THROW(list.use(Pair_Code()), std::logic_error);
        Candidate_List moved = std::move(list);
        EXPECT_TRUE(list.empty());
        EXPECT_EQ(moved.size(), 101u);
        EXPECT_EQ(moved.code().bytes(), code.bytes);
        moved.release();
        EXPECT_TRUE(moved.empty());
        moved.push_back(pair_number(7, code.slots));
        expect_pair(moved[0], pair_number(7, code.slots));
    }
}

}  // namespace
