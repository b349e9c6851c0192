#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

#include "tableau/pattern_tree.h"
#include "tableau/tree_replica.h"

namespace {

// Patterns of `columns` columns in the tableau's layout (padding bits 1), drawn with each
// column non-zero with probability `density`.
std::vector<unsigned> random_pattern(std::mt19937& random, unsigned columns, double density) {
    Bit_Pattern bits(static_cast<int>(columns), 1);
    std::bernoulli_distribution nonzero(density);
    std::vector<int> row(columns);
    for (int& value : row) value = nonzero(random) ? 1 : 0;
    bits.set_pattern(0, row.begin());
    return std::vector<unsigned>(bits.pattern(0), bits.pattern(0) + bits.words_per_row);
}

struct Filed {
    unsigned row;
    std::vector<unsigned> pattern;
};

// The tree's answer for `outer`, skipping the rows `skip` and `also_skip`, is another filed row
// inside it exactly when one exists.
unsigned expect_answer_except(const Pattern_Tree& tree, const std::vector<Filed>& filed,
                              const std::vector<unsigned>& outer, unsigned skip,
                              unsigned also_skip) {
    const unsigned words = static_cast<unsigned>(outer.size());
    const auto inside = [&](const Filed& f) {
        return f.row != skip && f.row != also_skip &&
               support_inside(f.pattern.data(), outer.data(), words);
    };
    const unsigned found = skip == no_row && also_skip == no_row
                               ? tree.find_inside(outer.data())
                               : tree.find_inside_except(outer.data(), skip, also_skip);
    if (std::none_of(filed.begin(), filed.end(), inside)) {
        EXPECT_EQ(found, no_row);
        return found;
    }
    const auto at =
        std::find_if(filed.begin(), filed.end(), [&](const Filed& f) { return f.row == found; });
    EXPECT_NE(at, filed.end()) << "the answer is no filed row";
    if (at != filed.end()) {
        EXPECT_TRUE(inside(*at));
    }
    return found;
}

// The same without a skipped row, and again skipping the row found and the first filed one.
void expect_answer(const Pattern_Tree& tree, const std::vector<Filed>& filed,
                   const std::vector<unsigned>& outer) {
    const unsigned found = expect_answer_except(tree, filed, outer, no_row, no_row);
    if (found == no_row || filed.empty()) return;
    expect_answer_except(tree, filed, outer, found, filed.front().row);
}

// Random rows filed and taken out in turns, the common columns refreshed now and then, against
// a scan of every filed row; over one to five pattern words, sparse and dense rows, and enough
// rows that leaves split many times (several rows share a pattern too).
TEST(PatternTree, FindsARowInsideExactlyWhenOneExists) {
    struct Case {
        unsigned columns;
        double density;
    };
    for (const Case& c :
         {Case{7, 0.4}, Case{40, 0.2}, Case{64, 0.5}, Case{100, 0.15}, Case{150, 0.3}}) {
        SCOPED_TRACE(c.columns);
        std::mt19937 random(c.columns);
        Pattern_Tree tree(static_cast<unsigned>(random_pattern(random, c.columns, 0).size()),
                          c.columns);
        std::vector<Filed> filed;
        unsigned next_row = 0;
        for (int round = 0; round < 6; ++round) {
            for (int i = 0; i < 300; ++i) {
                Filed f{next_row++, random_pattern(random, c.columns, c.density)};
                tree.insert(f.row, f.pattern.data());
                filed.push_back(f);
            }
            std::shuffle(filed.begin(), filed.end(), random);
            for (int i = 0; i < 120; ++i) {
                tree.erase(filed.back().row, filed.back().pattern.data());
                filed.pop_back();
            }
            if (round % 2 == 1) tree.refresh_common();
            ASSERT_EQ(tree.size(), filed.size());
            for (int q = 0; q < 200; ++q) {
                expect_answer(tree, filed, random_pattern(random, c.columns, 0.5 + 0.1 * (q % 5)));
            }
        }
        EXPECT_GT(tree.nodes(), 9u) << "the leaves never split";
    }
}

// A replica takes the changes sealed, in their order, and only those: after each catch-up it
// answers as a scan of the rows filed at the seal does, has as many nodes as the tree had then,
// and gives each row found with the pattern it was filed with.
TEST(TreeReplica, FollowsTheTreeUpToTheLastSeal) {
    for (const unsigned columns : {40u, 100u}) {
        SCOPED_TRACE(columns);
        std::mt19937 random(columns + 1);
        const unsigned words = static_cast<unsigned>(random_pattern(random, columns, 0).size());
        Pattern_Tree tree(words, columns);
        Tree_Replica replica(tree, words);
        std::vector<Filed> filed;
        unsigned next_row = 0;
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 300; ++i) {
                Filed f{next_row++, random_pattern(random, columns, 0.25)};
                tree.insert(f.row, f.pattern.data());
                replica.record_insert(f.row, f.pattern.data());
                filed.push_back(f);
            }
            std::shuffle(filed.begin(), filed.end(), random);
            for (int i = 0; i < 100; ++i) {
                tree.erase(filed.back().row, filed.back().pattern.data());
                replica.record_erase(filed.back().row, filed.back().pattern.data());
                filed.pop_back();
            }
            replica.seal();
            const std::size_t nodes = tree.nodes();
            const std::vector<Filed> sealed = filed;
            // Changes after the seal wait for the next one.
            Filed late{next_row++, random_pattern(random, columns, 0.25)};
            tree.insert(late.row, late.pattern.data());
            replica.record_insert(late.row, late.pattern.data());
            filed.push_back(late);
            replica.catch_up();
            ASSERT_EQ(replica.tree().size(), sealed.size());
            EXPECT_EQ(replica.tree().nodes(), nodes);
            for (int q = 0; q < 200; ++q) {
                const std::vector<unsigned> outer = random_pattern(random, columns, 0.6);
                expect_answer(replica.tree(), sealed, outer);
                const unsigned* entry = replica.tree().find_entry_inside(outer.data());
                if (entry == nullptr) continue;
                const auto at = std::find_if(sealed.begin(), sealed.end(),
                                             [&](const Filed& f) { return f.row == entry[0]; });
                ASSERT_NE(at, sealed.end());
                EXPECT_EQ(std::vector<unsigned>(entry + 1, entry + 1 + words), at->pattern);
            }
        }
    }
}

TEST(PatternTree, EmptyTreeAndRowsTakenOut) {
    Pattern_Tree tree(1, 8);
    const std::vector<unsigned> all{0xFFFFFFFFu};
    EXPECT_EQ(tree.find_inside(all.data()), no_row);
    const std::vector<unsigned> pattern{0x80FFFFFFu};  // column 0 only
    tree.insert(5, pattern.data());
    EXPECT_EQ(tree.find_inside(all.data()), 5u);
    EXPECT_THROW(tree.erase(6, pattern.data()), std::logic_error);
    tree.erase(5, pattern.data());
    EXPECT_EQ(tree.find_inside(all.data()), no_row);
    EXPECT_THROW(tree.erase(5, pattern.data()), std::logic_error);
}

}  // namespace
