#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>

#include "matrix/kernel.h"
#include "matrix/subset.h"
#include "matrix_test_support.h"

namespace {

struct Subsets {
    Rows s;
    std::vector<int> flags;
    std::string console;
};

Subsets subsets_of(const Rows& k, const std::vector<int>& rev) {
    Owned_Mat km = make_mat(k);
    Owned_Vector revv = make_vector(rev);
    int* flags = nullptr;
    ::testing::internal::CaptureStdout();
    Owned_Mat s(subset(km.get(), revv.get(), &flags));
    Subsets out{rows_of(s.get()), std::vector<int>(flags, flags + s->rows),
                ::testing::internal::GetCapturedStdout()};
    free(flags);
    return out;
}

TEST(Subset, KnownSubsets) {
    const struct {
        const char* name;
        Rows k;
        std::vector<int> rev;
        Rows expected;
        std::vector<int> flags;
    } cases[] = {
        {"linear chain", {{1, 1}}, {1, 1}, {{1, 1}}, {0}},
        {"blocked reaction in no subset",
         {{1, 1, 0, 0, 0}, {0, 0, 1, 2, 0}},
         {1, 1, 1, 1, 1},
         {{1, 1, 0, 0, 0}, {0, 0, 1, 2, 0}},
         {0, 0}},
        {"subsets in order of their first reaction",
         {{1, 0, 1, 0}, {0, 1, 0, 2}},
         {0, 0, 0, 0},
         {{1, 0, 1, 0}, {0, 1, 0, 2}},
         {0, 0}},
        {"factors reduced", {{2, 4}}, {1, 1}, {{1, 2}}, {0}},
        {"irreversible pair in opposite directions", {{-1, 1}}, {1, 1}, {{1, -1}}, {1}},
        {"reversible only, turned positive", {{-2, -1}}, {0, 0}, {{2, 1}}, {0}},
        {"irreversible member already forwards", {{-1, 2}}, {0, 1}, {{-1, 2}}, {0}},
        {"irreversible member turned forwards", {{-1, 2}}, {1, 0}, {{1, -2}}, {0}},
        // The first backward irreversible member turns the subset, the other then runs back.
        {"second subset contradictory",
         {{1, 1, 0, 0}, {0, 0, 1, -1}},
         {1, 1, 1, 1},
         {{1, 1, 0, 0}, {0, 0, -1, 1}},
         {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Subsets got = subsets_of(c.k, c.rev);
        EXPECT_EQ(got.s, c.expected);
        EXPECT_EQ(got.flags, c.flags);
        EXPECT_EQ(got.console, "");
    }
}

TEST(Subset, EveryReactionBlockedKeepsZeroRows) {
    const Subsets got = subsets_of({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {1, 0, 1});
    EXPECT_EQ(got.s, Rows(3, std::vector<int>(3, 0)));
    EXPECT_EQ(got.flags, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(got.console, "there is no simplification ...\n");
}

TEST(SubsetDeathTest, TooFewReversibilityFlagsStop) {
    Owned_Mat k = make_mat({{1, 1, 1}});
    Owned_Vector rev = make_vector({1, 1});
    int* flags = nullptr;
    EXPECT_STOPS_PRINTING(subset(k.get(), rev.get(), &flags),
                          "error in subset: 2 reversibility flags for 3 reactions\n");
}

bool proportional(const Rows& k, int i, int j) {
    for (const auto& a : k)
        for (const auto& b : k)
            if (std::int64_t{a[i]} * b[j] != std::int64_t{b[i]} * a[j]) return false;
    return true;
}

bool zero_column(const Rows& k, int j) {
    return std::all_of(k.begin(), k.end(), [j](const std::vector<int>& r) { return r[j] == 0; });
}

// Kernels of random small networks: two reactions share a subset exactly when their kernel
// columns are proportional, in the columns' ratio; flags mark irreversible members of both signs.
TEST(Subset, RandomKernelsGroupProportionalReactions) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coefficient(-2, 2);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int trial = 0; trial < 300; ++trial) {
        const int m = std::uniform_int_distribution<int>(1, 5)(random);
        const int n = std::uniform_int_distribution<int>(2, 8)(random);
        Rows net(m, std::vector<int>(n));
        for (auto& row : net)
            for (int& x : row) x = coefficient(random);
        std::vector<int> rev(n);
        for (int& r : rev) r = coin(random);
        SCOPED_TRACE(::testing::PrintToString(net) + " rev " + ::testing::PrintToString(rev));

        Owned_Mat nm = make_mat(net);
        ::testing::internal::CaptureStdout();
        Owned_Mat km(kernel(nm.get()));
        ::testing::internal::GetCapturedStdout();
        const Rows k = rows_of(km.get());
        const Subsets got = subsets_of(k, rev);
        if (std::all_of(k.begin(), k.end(), [](const std::vector<int>& r) {
                return std::all_of(r.begin(), r.end(), [](int x) { return x == 0; });
            })) {
            EXPECT_EQ(got.s, Rows(n, std::vector<int>(n, 0)));
            continue;
        }

        std::vector<int> owner(n, -1);
        for (int o = 0; o < static_cast<int>(got.s.size()); ++o) {
            const auto& row = got.s[o];
            for (int j = 0; j < n; ++j) {
                if (row[j] == 0) continue;
                EXPECT_EQ(owner[j], -1) << "reaction " << j << " in two subsets";
                owner[j] = o;
            }
            EXPECT_EQ(std::accumulate(row.begin(), row.end(), 0,
                                      [](int g, int x) { return std::gcd(g, x); }),
                      1);
            EXPECT_TRUE(std::any_of(row.begin(), row.end(), [](int x) { return x > 0; }));
            bool forwards = false;
            bool backwards = false;
            for (int j = 0; j < n; ++j) {
                forwards = forwards || (rev[j] != 0 && row[j] > 0);
                backwards = backwards || (rev[j] != 0 && row[j] < 0);
            }
            EXPECT_EQ(got.flags[o], forwards && backwards ? 1 : 0);
        }
        int previous_first = -1;
        for (int o = 0; o < static_cast<int>(got.s.size()); ++o) {
            const int first =
                static_cast<int>(std::find(owner.begin(), owner.end(), o) - owner.begin());
            EXPECT_GT(first, previous_first) << "subsets out of order";
            previous_first = first;
        }
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(owner[i] == -1, zero_column(k, i)) << "reaction " << i;
            for (int j = i + 1; j < n && owner[i] != -1; ++j) {
                if (owner[j] == -1) continue;
                EXPECT_EQ(owner[i] == owner[j], proportional(k, i, j)) << i << ", " << j;
                if (owner[i] != owner[j]) continue;
                const auto& row = got.s[owner[i]];
                for (const auto& x : k)
                    EXPECT_EQ(std::int64_t{row[i]} * x[j], std::int64_t{row[j]} * x[i]);
            }
        }
    }
}

}  // namespace
