#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <numeric>
#include <optional>
#include <random>

#include "matrix/branch.h"
#include "matrix/kernel.h"
#include "matrix/simplify.h"
#include "tests/support/exact_elimination.h"
#include "tests/support/random_rows.h"
#include "tests/support/records.h"
#include "tests/support/stops.h"

namespace {

// N x for every row x of k, in 64 bits.
Rows residuals(const Rows& n, const Rows& k) {
    Rows out;
    for (const auto& x : k) {
        std::vector<int> r;
        for (const auto& row : n) {
            std::int64_t sum = 0;
            for (std::size_t j = 0; j < row.size(); ++j) sum += std::int64_t{row[j]} * x[j];
            r.push_back(static_cast<int>(sum));
        }
        out.push_back(r);
    }
    return out;
}

__int128 wide_gcd(__int128 a, __int128 b) {
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
        const __int128 rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// The decimal digits of a value of at most 62 bits.
std::string wide_digits(__int128 x) { return std::to_string(static_cast<long long>(x)); }

int row_gcd(const std::vector<int>& row) {
    int g = 0;
    for (int x : row) g = std::gcd(g, x);
    return g;
}

Wide_Mat kernel_of(const Rows& n, std::string* console = nullptr) {
    Owned_Mat nm = make_mat(n);
    ::testing::internal::CaptureStdout();
    Wide_Mat k = kernel(nm.get());
    const std::string out = ::testing::internal::GetCapturedStdout();
    if (console != nullptr) *console = out;
    EXPECT_EQ(k.columns(), static_cast<int>(n[0].size()));
    return k;
}

Rows kernel_rows(const Rows& n, std::string* console = nullptr) {
    return rows_of(kernel_of(n, console));
}

TEST(Kernel, KnownBases) {
    const struct {
        const char* name;
        Rows n;
        Rows expected;
    } cases[] = {
        {"linear chain", {{1, -1, 0}, {0, 1, -1}}, {{1, 1, 1}}},
        // 1 x (1, 0, 1) - 1 x (1, 1, 0): the pivot's sign convention shows in mixed rows.
        {"two producers", {{1, 1}}, {{-1, 1}}},
        // The elimination leaves (0, -1, -1), returned with its signs turned.
        {"all negative row turned", {{-1, 1}}, {{1, 1}}},
        {"common factor of the pair", {{2, 4}}, {{-2, 1}}},
        // A reaction that no metabolite sees never becomes a pivot: its unit vector remains.
        {"zero column", {{1, -1, 0}}, {{1, 1, 0}, {0, 0, 1}}},
        // The products pass 2^42 in 64 bits; the reduced row fits.
        {"intermediate beyond 32 bits",
         {{0, -56665, 2, 1}, {0, 1, 2, 4987}, {-1, 1, 2, 0}},
         {{141296671, 2493, 70647089, -28333}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string console;
        const Rows k = kernel_rows(c.n, &console);
        EXPECT_EQ(k, c.expected);
        EXPECT_EQ(console, "");
        for (const auto& r : residuals(c.n, k)) EXPECT_EQ(r, std::vector<int>(c.n.size(), 0));
    }
}

TEST(Kernel, FullColumnRankKeepsZeroRows) {
    std::string console;
    EXPECT_EQ(kernel_rows({{1, 0}, {2, 1}, {0, 3}}, &console), (Rows{{0, 0}, {0, 0}}));
    EXPECT_EQ(console, "there is no simplification ...\n");
}

TEST(Kernel, ValuesBeyond32BitsAreKeptWider) {
    // The single basis vector is the cross product of the rows, (-1000000006, -1000000002,
    // 1000000016000000048), halved; its sign is the elimination's: row 2 of [N^T | I] becomes
    // 1000000007 x row 2 - row 0, then is combined with row 1 and divided by 2.
    const Wide_Mat k = kernel_of({{1000000007, 3, 1}, {5, 1000000009, 1}});
    EXPECT_EQ(k.width(), width_index<std::int64_t>);
    EXPECT_EQ(digits_of(k), (Digit_Rows{{"-500000003", "-500000001", "500000008000000024"}}));
}

TEST(KernelDeathTest, NetworkWithoutReactionsStops) {
    int* row_pointers[1] = {nullptr};
    mat no_columns{1, 0, row_pointers};
    EXPECT_STOPS_PRINTING(kernel(&no_columns), zero_amount("tm->head not allocated"));
}

// Random small networks: the rows form a basis of the nullspace, coprime, each with a
// positive entry; a network of full column rank gives zero rows only.
TEST(Kernel, RandomNetworksGiveCoprimeNullspaceBases) {
    std::mt19937 random(20240611);
    for (int trial = 0; trial < 300; ++trial) {
        const Rows net = random_stoichiometry(random, 6, 1, 8, 3);
        const int m = static_cast<int>(net.size());
        const int n = static_cast<int>(net[0].size());
        SCOPED_TRACE(::testing::PrintToString(net));

        std::string console;
        const Rows k = kernel_rows(net, &console);
        const int nullity = n - static_cast<int>(exact_rank(widened(net)));
        if (nullity == 0) {
            EXPECT_EQ(k, Rows(n, std::vector<int>(n, 0)));
            EXPECT_EQ(console, "there is no simplification ...\n");
            continue;
        }
        // Independent rows in the nullspace, as many as n minus the rank: together that proves
        // they are a basis.
        ASSERT_EQ(static_cast<int>(k.size()), nullity);
        EXPECT_EQ(static_cast<int>(exact_rank(widened(k))), nullity);
        EXPECT_EQ(console, "");
        for (const auto& r : residuals(net, k)) EXPECT_EQ(r, std::vector<int>(m, 0));
        for (const auto& x : k) {
            EXPECT_EQ(row_gcd(x), 1);
            EXPECT_TRUE(std::any_of(x.begin(), x.end(), [](int v) { return v > 0; }));
        }
    }
}

// The nullspace basis by plain dense elimination, the way the toolkit defines it: row j of
// [transpose(n) | identity] is column j beside the unit vector j; for each column d in turn the
// first row with an entry there is the pivot, every later row g with an entry becomes
// fb x g - fa x pivot (the two entries over their common divisor) divided by its common divisor,
// and the pivot row is cleared. The non-zero right parts, divided by their common divisor, rows
// without a positive entry turned, as decimal digits. The elimination runs in 128 bits; nothing
// when an entry of a reduced row leaves 62 bits, where the next products could leave 128.
std::optional<Digit_Rows> kernel_by_elimination(const Rows& n, std::string* console) {
    using Wide = __int128;
    const Wide limit = Wide(1) << 62;
    const std::size_t m = n.size();
    const std::size_t r = n[0].size();
    std::vector<std::vector<Wide>> t(r, std::vector<Wide>(m + r, 0));
    for (std::size_t j = 0; j < r; ++j) {
        for (std::size_t d = 0; d < m; ++d) t[j][d] = n[d][j];
        t[j][m + j] = 1;
    }
    for (std::size_t d = 0; d < m; ++d) {
        std::size_t e = 0;
        while (e < r && t[e][d] == 0) ++e;
        if (e == r) continue;
        for (std::size_t g = e + 1; g < r; ++g) {
            if (t[g][d] == 0) continue;
            const Wide q = wide_gcd(t[g][d], t[e][d]);
            const Wide fa = t[g][d] / q;
            const Wide fb = t[e][d] / q;
            Wide divisor = 0;
            for (std::size_t c = 0; c < m + r; ++c) {
                t[g][c] = fb * t[g][c] - fa * t[e][c];
                divisor = wide_gcd(divisor, t[g][c]);
            }
            for (Wide& x : t[g]) {
                x /= divisor > 1 ? divisor : 1;
                if (x >= limit || x <= -limit) return std::nullopt;
            }
        }
        std::fill(t[e].begin(), t[e].end(), 0);
    }
    Digit_Rows basis;
    for (const auto& row : t) {
        std::vector<Wide> right(row.begin() + m, row.end());
        Wide divisor = 0;
        for (Wide x : right) divisor = wide_gcd(divisor, x);
        if (divisor == 0) continue;
        const bool positive = std::any_of(right.begin(), right.end(), [](Wide x) { return x > 0; });
        basis.emplace_back();
        for (Wide x : right)
            basis.back().push_back(wide_digits(positive ? x / divisor : -x / divisor));
    }
    *console = "";
    if (basis.empty()) {
        *console = "there is no simplification ...\n";
        basis.assign(r, std::vector<std::string>(r, "0"));
    }
    return basis;
}

// Random networks of every density, small and large coefficients, some with zero columns and
// zero rows: the basis is the dense elimination's, row by row, with the same console output,
// also where its values leave 32 bits.
TEST(Kernel, MatchesDenseEliminationOnRandomNetworks) {
    std::mt19937 random(2718);
    const double densities[] = {0.08, 0.25, 0.6, 1.0};
    const int magnitudes[] = {1, 3, 40, 5000};
    int exact = 0;
    int wide = 0;
    for (int trial = 0; trial < 800; ++trial) {
        const int m = std::uniform_int_distribution<int>(1, 14)(random);
        const int r = std::uniform_int_distribution<int>(1, 24)(random);
        const Rows net = random_rows(random, m, r, densities[trial % 4], magnitudes[trial / 4 % 4]);
        SCOPED_TRACE(::testing::PrintToString(net));
        std::string expected_console;
        const std::optional<Digit_Rows> expected = kernel_by_elimination(net, &expected_console);
        if (!expected) continue;
        std::string console;
        const Wide_Mat k = kernel_of(net, &console);
        EXPECT_EQ(digits_of(k), *expected);
        EXPECT_EQ(console, expected_console);
        ++exact;
        if (k.width() > width_index<int>) ++wide;
    }
    EXPECT_GT(exact, 500);
    EXPECT_GT(wide, 10);
}

// A long chain of reactions, and the same chain with every reaction doubled by a parallel one of
// twice the coefficients: the elimination fills rows far beyond their first entries.
TEST(Kernel, LongChainsMatchDenseElimination) {
    for (int length : {40, 150}) {
        SCOPED_TRACE(length);
        Rows chain(length - 1, std::vector<int>(length, 0));
        Rows doubled(length - 1, std::vector<int>(2 * length, 0));
        for (int i = 0; i + 1 < length; ++i) {
            chain[i][i] = 1;
            chain[i][i + 1] = -1;
            doubled[i][2 * i] = 1;
            doubled[i][2 * i + 1] = 2;
            doubled[i][2 * i + 2] = -1;
            doubled[i][2 * i + 3] = -2;
        }
        for (const Rows& net : {chain, doubled}) {
            std::string console;
            const std::optional<Digit_Rows> expected = kernel_by_elimination(net, &console);
            ASSERT_TRUE(expected.has_value());
            EXPECT_EQ(digits_of(kernel_of(net)), *expected);
        }
    }
}

class SimplifyTest : public ::testing::Test {
   protected:
    void TearDown() override { release_branch(); }

    Rows simplified(const Rows& rows, std::string* console) {
        Owned_Mat m = make_mat(rows);
        ::testing::internal::CaptureStdout();
        Owned_Mat s(simplify(m.get()));
        *console = ::testing::internal::GetCapturedStdout();
        return rows_of(s.get());
    }
};

TEST_F(SimplifyTest, ReducesRowsAndRecordsBranches) {
    const struct {
        const char* name;
        bool request;
        Rows rows;
        Rows expected;
        std::vector<int> branches;  // empty when absent
        const char* console;
    } cases[] = {
        {"branches requested",
         true,
         {{2, 4}, {0, 0}, {-3, 6}},
         {{1, 2}, {-1, 2}},
         {1, 0, 1},
         "\nBranches 101\n"},
        {"no request", false, {{2, 4}, {0, 0}, {-3, 6}}, {{1, 2}, {-1, 2}}, {}, ""},
        {"zero rows only",
         false,
         {{0, 0}, {0, 0}},
         {{0, 0}, {0, 0}},
         {},
         "there is no simplification ...\n"},
        {"zero rows only, branches requested",
         true,
         {{0, 0}, {0, 0}},
         {{0, 0}, {0, 0}},
         {0, 0},
         "\nBranches 00\nthere is no simplification ...\n"},
        {"largest coefficient",
         false,
         {{INT_MAX, 0}, {-INT_MAX, INT_MAX}},
         {{1, 0}, {-1, 1}},
         {},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.request) request_branch();
        std::string console;
        EXPECT_EQ(simplified(c.rows, &console), c.expected);
        EXPECT_EQ(console, c.console);
        if (c.branches.empty()) {
            EXPECT_EQ(branch_status, branch_state::absent);
        } else {
            ASSERT_EQ(branch_status, branch_state::present);
            EXPECT_EQ(values_of(branch.get()), c.branches);
        }
        release_branch();
    }
}

TEST_F(SimplifyTest, PresentBranchesAreReplacedByTheNextRequest) {
    std::string console;
    request_branch();
    simplified({{0, 1}, {0, 0}, {0, 0}}, &console);
    simplified({{0, 0}, {5, 0}}, &console);
    EXPECT_EQ(values_of(branch.get()), (std::vector<int>{0, 1}));
    EXPECT_EQ(console, "\nBranches 01\n");
}

TEST(SimplifyDeathTest, MatrixWithoutRowsStops) {
    mat no_rows{0, 3, nullptr};
    EXPECT_STOPS_PRINTING(simplify(&no_rows), zero_amount("vf->head not allocated"));
}

TEST(SwitchSigns, RowsWithoutPositiveEntryAreNegated) {
    Owned_Mat m = make_mat({{-1, 0, -2}, {0, 0, 0}, {-1, 2, 0}, {0, 0, -3}, {3, -5, 0}});
    switch_if_all_rows_are_minus_into_plus(m.get());
    EXPECT_EQ(rows_of(m.get()), (Rows{{1, 0, 2}, {0, 0, 0}, {-1, 2, 0}, {0, 0, 3}, {3, -5, 0}}));
}

}  // namespace
