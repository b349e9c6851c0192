#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tableau/parallel_sort.h"

namespace {

// An element whose key decides the order and whose tag tells equal elements apart.
struct Tagged {
    unsigned key;
    unsigned tag;
};

struct Key_Less {
    bool operator()(const Tagged& a, const Tagged& b) const { return a.key < b.key; }
};

// The sort leaves every element, equal ones included, where std::sort leaves it, with one to
// three threads: over empty, tiny and large inputs, few and many distinct keys, sorted,
// reversed and organ-pipe inputs.
TEST(ParallelSort, LeavesEqualElementsInTheOrderOfStdSort) {
    struct Case {
        std::size_t length;
        unsigned distinct;  // keys drawn from 0 to distinct - 1
        int shape;          // 0 random, 1 ascending, 2 descending, 3 up then down
    };
    const std::vector<Case> cases{{0, 1, 0},       {1, 1, 0},         {2, 1, 0},
                                  {17, 3, 0},      {1000, 1, 0},      {5000, 7, 0},
                                  {70000, 50, 0},  {70000, 70000, 0}, {70000, 300, 1},
                                  {70000, 300, 2}, {70000, 300, 3}};
    std::mt19937 random(7);
    for (const Case& c : cases) {
        std::vector<Tagged> input(c.length);
        for (std::size_t i = 0; i < c.length; ++i) {
            input[i] = {static_cast<unsigned>(random() % c.distinct), static_cast<unsigned>(i)};
        }
        if (c.shape == 1) std::stable_sort(input.begin(), input.end(), Key_Less());
        if (c.shape == 2) std::reverse(input.begin(), input.end());
        if (c.shape == 3) {
            std::stable_sort(input.begin(), input.begin() + c.length / 2, Key_Less());
            std::stable_sort(input.begin() + c.length / 2, input.end(),
                             [](const Tagged& a, const Tagged& b) { return a.key > b.key; });
        }
        std::vector<Tagged> expected = input;
        std::sort(expected.begin(), expected.end(), Key_Less());
        for (unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "length " << c.length << ", distinct " << c.distinct
                                            << ", shape " << c.shape << ", threads " << threads);
            Worker_Pool pool(threads);
            std::vector<Tagged> sorted = input;
            parallel_sort(sorted.begin(), sorted.end(), Key_Less(), pool);
            for (std::size_t i = 0; i < c.length; ++i) {
                ASSERT_EQ(sorted[i].tag, expected[i].tag) << "position " << i;
            }
        }
    }
}

// Many short random inputs, so that the partitions' scans cross at every place within and
// between their blocks of comparisons.
TEST(ParallelSort, ShortInputsOfEveryShape) {
    std::mt19937 random(11);
    Worker_Pool pool(1);
    for (int round = 0; round < 400; ++round) {
        const std::size_t length = random() % 700;
        const unsigned distinct = 1 + random() % 40;
        std::vector<Tagged> input(length);
        for (std::size_t i = 0; i < length; ++i) {
            input[i] = {static_cast<unsigned>(random() % distinct), static_cast<unsigned>(i)};
        }
        std::vector<Tagged> expected = input;
        std::sort(expected.begin(), expected.end(), Key_Less());
        parallel_sort(input.begin(), input.end(), Key_Less(), pool);
        for (std::size_t i = 0; i < length; ++i) {
            ASSERT_EQ(input[i].tag, expected[i].tag) << "round " << round << ", position " << i;
        }
    }
}

// Sorted as far as parts of at most `small` elements, each part then copied into pairs of key
// and tag and sorted there with the partitions it has left: every element, equal ones included,
// ends where std::sort leaves it, and no part handed over is larger than `small`.
TEST(ParallelSort, PartsFinishedInAnotherFormEndAsStdSortLeavesThem) {
    std::mt19937 random(5);
    for (const unsigned distinct : {40u, 100000u}) {
        std::vector<Tagged> input(100000);
        for (std::size_t i = 0; i < input.size(); ++i) {
            input[i] = {static_cast<unsigned>(random() % distinct), static_cast<unsigned>(i)};
        }
        std::vector<Tagged> expected = input;
        std::sort(expected.begin(), expected.end(), Key_Less());
        for (const std::ptrdiff_t small : {16, 300, 20000}) {
            for (const unsigned threads : {1u, 2u, 3u}) {
                SCOPED_TRACE(testing::Message() << "distinct " << distinct << ", small " << small
                                                << ", threads " << threads);
                Worker_Pool pool(threads);
                std::vector<Tagged> sorted = input;
                std::vector<std::vector<std::pair<unsigned, unsigned> > > copies(threads);
                std::vector<std::ptrdiff_t> largest(threads, 0);
                const auto finish = [&](auto first, auto last, std::ptrdiff_t depth,
                                        unsigned thread) {
                    largest[thread] = std::max(largest[thread], last - first);
                    auto& copy = copies[thread];
                    copy.clear();
                    for (auto i = first; i != last; ++i) copy.emplace_back(i->key, i->tag);
                    auto by_key = [](const auto& a, const auto& b) { return a.first < b.first; };
                    parallel_sort_detail::introsort(copy.begin(), copy.end(), depth, by_key);
                    for (const auto& [key, tag] : copy) *first++ = Tagged{key, tag};
                };
                parallel_sort_down_to(sorted.begin(), sorted.end(), Key_Less(), pool, small,
                                      finish);
                EXPECT_LE(*std::max_element(largest.begin(), largest.end()), small);
                for (std::size_t i = 0; i < sorted.size(); ++i) {
                    ASSERT_EQ(sorted[i].tag, expected[i].tag) << "position " << i;
                }
            }
        }
    }
}

}  // namespace
