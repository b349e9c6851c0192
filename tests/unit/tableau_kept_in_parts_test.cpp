#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tableau/kept_in_parts.h"
#include "tableau/parallel_sort.h"

namespace {

// An element whose key decides the order and whose tag tells equal elements apart.
struct Tagged {
    unsigned key;
    unsigned tag;
};

bool same_key(const Tagged& a, const Tagged& b) { return a.key == b.key; }

// The tags of the first element of every run of equal keys, from one pass over sorted elements.
std::vector<unsigned> first_of_runs(const std::vector<Tagged>& sorted) {
    std::vector<unsigned> tags;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || sorted[i].key != sorted[i - 1].key) tags.push_back(sorted[i].tag);
    }
    return tags;
}

// Keeping the first of each run in place keeps exactly the first elements of the runs, in order:
// no element, one, all equal, all different, runs of every length.
TEST(KeptInParts, KeepsTheFirstOfEveryRun) {
    const std::vector<std::vector<unsigned> > cases{
        {}, {4}, {2, 2, 2, 2}, {1, 2, 3, 4}, {1, 1, 2, 3, 3, 3, 4, 5, 5}, {0, 7, 7, 7, 7, 7, 9}};
    for (const std::vector<unsigned>& keys : cases) {
        std::vector<Tagged> elements;
        for (const unsigned key : keys) {
            elements.push_back({key, static_cast<unsigned>(elements.size())});
        }
        const std::vector<unsigned> expected = first_of_runs(elements);
        Tagged* const end =
            keep_first_of_runs(elements.data(), elements.data() + elements.size(), same_key);
        std::vector<unsigned> kept;
        for (const Tagged* e = elements.data(); e != end; ++e) kept.push_back(e->tag);
        EXPECT_EQ(kept, expected) << "of " << keys.size() << " keys";
    }
}

// A sort finished part by part, each part keeping the first of its runs, joined: the kept
// elements are those one pass over the whole sorted range keeps, in order, with one to three
// threads recording their parts in any order, parts far smaller than the runs (a run then spans
// several parts, some of them one run throughout) and far larger, and the join writing each
// kept element below where it lay.
TEST(KeptInParts, JoinedPartsKeepWhatOnePassOverTheSortedRangeKeeps) {
    std::mt19937 random(3);
    for (const unsigned distinct : {1u, 30u, 5000u, 200000u}) {
        std::vector<Tagged> input(60000);
        for (std::size_t i = 0; i < input.size(); ++i) {
            input[i] = {static_cast<unsigned>(random() % distinct), static_cast<unsigned>(i)};
        }
        std::vector<Tagged> sorted = input;
        std::sort(sorted.begin(), sorted.end(),
                  [](const Tagged& a, const Tagged& b) { return a.key < b.key; });
        const std::vector<unsigned> expected = first_of_runs(sorted);
        for (const std::ptrdiff_t small : {16, 1000}) {
            for (const unsigned threads : {1u, 2u, 3u}) {
                SCOPED_TRACE(testing::Message() << "distinct " << distinct << ", small " << small
                                                << ", threads " << threads);
                Worker_Pool pool(threads);
                std::vector<Tagged> elements = input;
                Kept_In_Parts<Tagged> kept_parts(threads);
                const auto less = [](const Tagged& a, const Tagged& b) { return a.key < b.key; };
                const auto finish = [&](Tagged* first, Tagged* last, std::ptrdiff_t depth,
                                        unsigned thread) {
                    parallel_sort_detail::introsort(first, last, depth, less);
                    kept_parts.record(thread, first, keep_first_of_runs(first, last, same_key));
                };
                parallel_sort_down_to(elements.data(), elements.data() + elements.size(), less,
                                      pool, small, finish);
                const std::size_t kept = kept_parts.join(
                    same_key, [&](std::size_t i, const Tagged& e) { elements[i] = e; });
                ASSERT_EQ(kept, expected.size());
                for (std::size_t i = 0; i < kept; ++i) {
                    ASSERT_EQ(elements[i].tag, expected[i]) << "kept element " << i;
                }
            }
        }
    }
}

}  // namespace
