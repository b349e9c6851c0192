#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "tableau/packed_pattern_less.h"
#include "tableau/parallel_sort.h"

namespace {

// Packed candidates with random heads of few distinct pattern parts, the bits below the pattern
// random as the rows' numbers would make them, and the third word telling them apart.
std::vector<Packed_Candidate> random_candidates(std::size_t count, unsigned columns,
                                                unsigned distinct, std::mt19937_64& random) {
    std::vector<std::uint64_t> patterns(distinct);
    for (std::uint64_t& pattern : patterns) pattern = random() << (64 - columns);
    std::vector<Packed_Candidate> candidates(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t spare = columns == 64 ? 0 : random() >> columns;
        const std::uint64_t head = patterns[random() % distinct] | spare;
        std::memcpy(candidates[i].words, &head, sizeof head);
        candidates[i].words[2] = static_cast<std::uint32_t>(i);
    }
    return candidates;
}

// The block scans stop exactly where comparisons one by one stop, for every block length and
// every start within a range, forward and backward, with pivots below, among and above the
// candidates and patterns of few to all 64 columns.
TEST(PackedPatternLess, ScansStopWhereComparisonsStop) {
    std::mt19937_64 random(3);
    for (const unsigned columns : {1u, 20u, 51u, 64u}) {
        const Bit_Pattern bits(static_cast<int>(columns), 1);
        const Candidate_Packing packing(bits, columns, 2);
        const Packed_Pattern_Less less(packing);
        const std::vector<Packed_Candidate> candidates = random_candidates(200, columns, 5, random);
        for (std::size_t p = 0; p < 12; ++p) {
            const Packed_Candidate& pivot = candidates[p];
            for (std::ptrdiff_t n = 0; n <= 64; ++n) {
                for (std::ptrdiff_t start = 70; start < 80; ++start) {
                    SCOPED_TRACE(testing::Message() << columns << " columns, pivot " << p << ", n "
                                                    << n << ", start " << start);
                    std::vector<std::ptrdiff_t> expected, found(64 + 8, -1);
                    for (std::ptrdiff_t i = 0; i < n; ++i)
                        if (!less(candidates[start + i], pivot)) expected.push_back(start + i);
                    std::ptrdiff_t count =
                        less.find_not_less(&candidates[start], n, pivot, start, found.data());
                    EXPECT_EQ(std::vector<std::ptrdiff_t>(found.begin(), found.begin() + count),
                              expected);
                    expected.clear();
                    for (std::ptrdiff_t i = 1; i <= n; ++i)
                        if (!less(pivot, candidates[start - i])) expected.push_back(start - i);
                    count = less.find_not_greater_backward(&candidates[start], n, pivot, start,
                                                           found.data());
                    EXPECT_EQ(std::vector<std::ptrdiff_t>(found.begin(), found.begin() + count),
                              expected);
                }
            }
        }
    }
}

// A short part is sorted as the insertion sort sorts it, equal candidates kept in their order,
// for every length up to 16 and patterns of few to all 64 columns.
TEST(PackedPatternLess, SortsShortPartsAsTheInsertionSort) {
    std::mt19937_64 random(4);
    for (const unsigned columns : {1u, 51u, 64u}) {
        const Bit_Pattern bits(static_cast<int>(columns), 1);
        const Candidate_Packing packing(bits, columns, 2);
        const Packed_Pattern_Less less(packing);
        for (std::ptrdiff_t n = 0; n <= 16; ++n) {
            for (int round = 0; round < 50; ++round) {
                SCOPED_TRACE(testing::Message() << columns << " columns, n " << n);
                // One candidate beyond the part, that the sort must leave alone.
                std::vector<Packed_Candidate> part = random_candidates(n + 1, columns, 4, random);
                std::vector<Packed_Candidate> expected = part;
                parallel_sort_detail::insertion_sort(expected.begin(), expected.end() - 1, less);
                less.sort_few(part.data(), n);
                for (std::ptrdiff_t i = 0; i <= n; ++i) {
                    ASSERT_EQ(std::memcmp(part[i].words, expected[i].words, 12), 0)
                        << "position " << i;
                }
            }
        }
    }
}

// Sorted with the block scans, packed candidates end where std::sort leaves them, equal ones
// included, with one and two threads.
TEST(PackedPatternLess, SortsAsStdSort) {
    std::mt19937_64 random(9);
    for (const unsigned distinct : {3u, 400u, 100000u}) {
        const Bit_Pattern bits(51, 1);
        const Candidate_Packing packing(bits, 51, 2);
        const std::vector<Packed_Candidate> input = random_candidates(100000, 51, distinct, random);
        std::vector<Packed_Candidate> expected = input;
        std::sort(expected.begin(), expected.end(),
                  [&packing](const Packed_Candidate& a, const Packed_Candidate& b) {
                      return packing.pattern_part(a) < packing.pattern_part(b);
                  });
        for (const unsigned threads : {1u, 2u}) {
            SCOPED_TRACE(testing::Message() << distinct << " patterns, " << threads << " threads");
            Worker_Pool pool(threads);
            std::vector<Packed_Candidate> sorted = input;
            parallel_sort(sorted.begin(), sorted.end(), Packed_Pattern_Less(packing), pool);
            for (std::size_t i = 0; i < sorted.size(); ++i) {
                ASSERT_EQ(sorted[i].words[2], expected[i].words[2]) << "position " << i;
            }
        }
    }
}

}  // namespace
