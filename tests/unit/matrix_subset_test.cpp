#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>

#include "matrix/kernel.h"
#include "matrix/subset.h"
#include "tests/support/random_rows.h"
#include "tests/support/records.h"
#include "tests/support/stops.h"

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
    const Wide_Mat s = subset(km.get(), revv.get(), &flags);
    Subsets out{rows_of(s), std::vector<int>(flags, flags + s.rows()),
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

int row_gcd(const std::vector<int>& row) {
    int g = 0;
    for (int x : row) g = std::gcd(g, x);
    return g;
}

// The subsets by their plain definition: reaction d's kernel coefficients divided by their
// common divisor and signed so that the first non-zero one is positive, the factor taken out
// beside them; every later reaction with equal coefficients handed to the first, compared pair
// by pair; the non-zero factor rows divided by their common divisor (all of them kept when there
// is none); each subset turned so that its first backward irreversible member runs forwards,
// flagged when an irreversible member still runs backwards; rows without a positive entry turned.
Subsets subsets_by_definition(const Rows& k, const std::vector<int>& rev) {
    const std::size_t kr = k.size();
    const std::size_t n = k[0].size();
    Rows coefficients(n);
    Rows factors(n);
    for (std::size_t d = 0; d < n; ++d) {
        factors[d].assign(n, 0);
        for (std::size_t c = 0; c < kr; ++c) coefficients[d].push_back(k[c][d]);
        const int divisor = row_gcd(coefficients[d]);
        if (divisor == 0) continue;
        const int sign = *std::find_if(coefficients[d].begin(), coefficients[d].end(),
                                       [](int x) { return x != 0; }) > 0
                             ? 1
                             : -1;
        for (int& x : coefficients[d]) x = sign * x / divisor;
        factors[d][d] = sign * divisor;
    }
    const std::vector<int> no_flux(kr, 0);
    for (std::size_t e = 0; e < n; ++e) {
        for (std::size_t g = e + 1; g < n; ++g) {
            if (coefficients[e] != coefficients[g]) continue;
            for (std::size_t c = 0; c < n; ++c) factors[e][c] += factors[g][c];
            coefficients[g] = no_flux;
            factors[g].assign(n, 0);
        }
    }
    Subsets out;
    for (auto& row : factors) {
        const int divisor = row_gcd(row);
        if (divisor == 0) continue;
        for (int& x : row) x /= divisor;
        out.s.push_back(row);
    }
    if (out.s.empty()) {
        out.s = factors;
        out.console = "there is no simplification ...\n";
    }
    for (auto& row : out.s) {
        const auto backward = [&](std::size_t t) { return rev[t] != 0 && row[t] < 0; };
        for (std::size_t t = 0; t < n; ++t) {
            if (!backward(t)) continue;
            for (int& x : row) x = -x;
            break;
        }
        bool contradiction = false;
        for (std::size_t t = 0; t < n; ++t) contradiction = contradiction || backward(t);
        out.flags.push_back(contradiction ? 1 : 0);
        if (std::none_of(row.begin(), row.end(), [](int x) { return x > 0; }))
            for (int& x : row) x = -x;
    }
    return out;
}

// Kernels whose columns repeat a few patterns with factors of both signs, beside new columns and
// zero columns, from one to many rows: the subsets, their flags and the console output are those
// of the pairwise definition.
TEST(Subset, MatchesThePairwiseDefinitionOnRandomKernels) {
    std::mt19937 random(1618);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> factor(-3, 3);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int trial = 0; trial < 400; ++trial) {
        const int kr = std::uniform_int_distribution<int>(1, 6)(random);
        const int n = std::uniform_int_distribution<int>(1, 40)(random);
        const double density = trial % 2 == 0 ? 0.3 : 1.0;
        const int largest = trial % 3 == 0 ? 1000000 : 4;
        const Rows patterns = random_rows(random, 3, kr, density, largest);
        Rows k(kr, std::vector<int>(n, 0));
        for (int j = 0; j < n; ++j) {
            const int which = kind(random);
            int f = 0;
            while (f == 0) f = factor(random);
            const Rows fresh = random_rows(random, 1, kr, density, largest);
            for (int c = 0; c < kr; ++c) {
                if (which < 2) continue;  // no flux
                k[c][j] = which < 8 ? patterns[which % 3][c] * (largest > 4 ? 1 : f) : fresh[0][c];
            }
        }
        std::vector<int> rev(n);
        for (int& r : rev) r = coin(random);
        SCOPED_TRACE(::testing::PrintToString(k) + " rev " + ::testing::PrintToString(rev));
        const Subsets expected = subsets_by_definition(k, rev);
        const Subsets got = subsets_of(k, rev);
        EXPECT_EQ(got.s, expected.s);
        EXPECT_EQ(got.flags, expected.flags);
        EXPECT_EQ(got.console, expected.console);
    }
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
    std::uniform_int_distribution<int> coin(0, 1);
    for (int trial = 0; trial < 300; ++trial) {
        const Rows net = random_stoichiometry(random, 5, 2, 8, 2);
        const int n = static_cast<int>(net[0].size());
        std::vector<int> rev(n);
        for (int& r : rev) r = coin(random);
        SCOPED_TRACE(::testing::PrintToString(net) + " rev " + ::testing::PrintToString(rev));

        Owned_Mat nm = make_mat(net);
        ::testing::internal::CaptureStdout();
        const Wide_Mat km = kernel(nm.get());
        ::testing::internal::GetCapturedStdout();
        const Rows k = rows_of(km);
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
