#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

#include "report/support_tree.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"

namespace {

using Pairs = std::vector<std::pair<int, int> >;

// Every pair d < g, both rows non-zero, whose reaction sets are equal or one inside the other,
// found by testing all pairs column by column.
Pairs all_pairs_reference(const Rows& rows) {
    Pairs pairs;
    const int n = static_cast<int>(rows.size());
    for (int d = 0; d < n; ++d) {
        for (int g = d + 1; g < n; ++g) {
            int nd = 0, ng = 0, common = 0;
            for (std::size_t j = 0; j < rows[d].size(); ++j) {
                nd += rows[d][j] != 0;
                ng += rows[g][j] != 0;
                common += rows[d][j] != 0 && rows[g][j] != 0;
            }
            if (nd != 0 && ng != 0 && (common == nd || common == ng)) pairs.emplace_back(d, g);
        }
    }
    return pairs;
}

// How a random mode matrix is made: each row is, with the given weights, all zero, one
// reaction, a copy of an earlier row's reaction set with other coefficients, an earlier row's
// set with reactions taken away or added (nested chains grow from these), or a fresh random set.
struct Random_Modes {
    const char* title;
    int rows;
    int columns;
    int zero, single, same_set, fewer, more, fresh;  // weights of the row kinds
    double density;                                  // of a fresh set
    unsigned seed;
};

void PrintTo(const Random_Modes& shape, std::ostream* out) { *out << shape.title; }

Rows random_modes(const Random_Modes& shape) {
    std::mt19937 random(shape.seed);
    std::discrete_distribution<int> kind({double(shape.zero), double(shape.single),
                                          double(shape.same_set), double(shape.fewer),
                                          double(shape.more), double(shape.fresh)});
    std::uniform_int_distribution<int> coefficient(1, 5);
    std::uniform_int_distribution<int> column(0, shape.columns - 1);
    std::bernoulli_distribution in_fresh(shape.density), coin(0.5);
    const auto value = [&] { return coin(random) ? coefficient(random) : -coefficient(random); };
    Rows rows;
    while (static_cast<int>(rows.size()) < shape.rows) {
        std::vector<int> row(shape.columns, 0);
        const int k = rows.empty() ? 5 : kind(random);
        const std::vector<int>& earlier = rows.empty()
                                              ? row
                                              : rows[std::uniform_int_distribution<int>(
                                                    0, static_cast<int>(rows.size()) - 1)(random)];
        switch (k) {
            case 0:
                break;
            case 1:
                row[column(random)] = value();
                break;
            case 2:
            case 3:
            case 4:
                for (int j = 0; j < shape.columns; ++j)
                    if (earlier[j] != 0) row[j] = value();
                for (int change = 1 + column(random) % 3; change > 0; --change) {
                    const int j = column(random);
                    if (k == 3) row[j] = 0;
                    if (k == 4 && row[j] == 0) row[j] = value();
                }
                break;
            default:
                for (int j = 0; j < shape.columns; ++j)
                    if (in_fresh(random)) row[j] = value();
        }
        rows.push_back(row);
    }
    return rows;
}

class Nested_Supports : public ::testing::TestWithParam<Random_Modes> {};

TEST_P(Nested_Supports, SameAsAllPairs) {
    const Rows rows = random_modes(GetParam());
    Owned_Mat m = make_mat(rows);
    const Pairs expected = all_pairs_reference(rows);
    EXPECT_EQ(nested_support_pairs(m.get()), expected);
    // The random kinds must really produce what the case stands for.
    if (GetParam().same_set + GetParam().fewer + GetParam().more > 0) {
        EXPECT_FALSE(expected.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Nested_Supports,
    ::testing::Values(Random_Modes{"FreshSetsOnly", 300, 20, 0, 0, 0, 0, 0, 1, 0.3, 1},
                      Random_Modes{"EqualSets", 200, 12, 0, 0, 4, 0, 0, 1, 0.4, 2},
                      Random_Modes{"NestedChains", 300, 30, 0, 0, 0, 3, 3, 1, 0.5, 3},
                      Random_Modes{"ZeroRowsAndSingleReactions", 200, 10, 2, 3, 1, 1, 1, 1, 0.3, 4},
                      Random_Modes{"AllKindsOverTwoWords", 400, 100, 1, 1, 1, 1, 1, 2, 0.3, 5},
                      Random_Modes{"AllKindsOverThreeWords", 300, 150, 1, 1, 1, 1, 1, 2, 0.1, 6},
                      Random_Modes{"AllKindsOneColumn", 50, 1, 1, 1, 1, 1, 1, 1, 0.5, 7},
                      Random_Modes{"AllKindsExactlyOneWord", 500, 64, 1, 1, 2, 2, 2, 4, 0.4, 8},
                      // Enough rows that the large nodes choose their splits from a sample.
                      Random_Modes{"AllKindsManyRows", 2100, 40, 1, 1, 1, 1, 1, 2, 0.3, 10}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(Nested_Supports, ManyRowsOfOneSetAreAllPairs) {
    // Rows that no reaction can split apart stay together in one node of the tree.
    Rows rows(40, std::vector<int>{0, 1, 0, 2});
    for (std::size_t r = 0; r < rows.size(); ++r) rows[r][3] = static_cast<int>(r) + 1;
    rows.push_back({0, 0, 0, 0});
    Owned_Mat m = make_mat(rows);
    const Pairs pairs = nested_support_pairs(m.get());
    EXPECT_EQ(pairs.size(), 40u * 39u / 2u);
    EXPECT_EQ(pairs, all_pairs_reference(rows));
}

TEST(Nested_Supports, SubsetSearchFindsExactlyTheRowsInside) {
    const Rows rows = random_modes({"", 500, 40, 1, 1, 1, 2, 2, 2, 0.3, 9});
    Owned_Mat m = make_mat(rows);
    const Support_Tree tree(m.get());
    for (int r = 0; r < static_cast<int>(rows.size()); r += 7) {
        std::vector<int> found;
        tree.for_each_subset(r, [&](int g) { found.push_back(g); });
        std::sort(found.begin(), found.end());
        std::vector<int> expected;
        for (int g = 0; g < static_cast<int>(rows.size()); ++g) {
            bool inside = std::any_of(rows[g].begin(), rows[g].end(), [](int v) { return v; }) &&
                          std::any_of(rows[r].begin(), rows[r].end(), [](int v) { return v; });
            for (std::size_t j = 0; j < rows[g].size() && inside; ++j)
                inside = rows[g][j] == 0 || rows[r][j] != 0;
            if (inside) expected.push_back(g);
        }
        EXPECT_EQ(found, expected) << "row " << r;
    }
}

}  // namespace
