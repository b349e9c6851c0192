#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "matrix/wide_integers.h"
#include "report/block_diagonalisation.h"
#include "tests/support/random_rows.h"
#include "tests/support/records.h"
#include "tests/support/report_file.h"
#include "tests/support/stops.h"

namespace {

const char* const caption =
    "\nBLOCK DIAGONALISATION\nReaction blocks were found from nullspace matrix (KERNEL).\n";
const char* const independence_line =
    "All columns of the stoichiometry matrix are linearly independent.\n";

struct Diagonalised {
    std::string report;
    std::string console;
    std::vector<int> table;  // (r+1)*(r+1) entries
};

std::vector<std::string> reaction_names(int r) {
    std::vector<std::string> names;
    for (int o = 1; o <= r; ++o) names.push_back("R" + std::to_string(o));
    return names;
}

// Runs the block diagonalisation of the given rows. The metabolite list is shorter than the
// matrix on purpose: a kernel can have more rows than the network has metabolites.
Diagonalised diagonalise(const Rows& rows, const std::vector<std::string>& names) {
    Owned_Mat m = make_mat(rows);
    Owned_List enzymes = make_list(names);
    Owned_List metabolites = make_list({"A"});
    Report_File report;
    int* table = nullptr;
    ::testing::internal::CaptureStdout();
    block_diagonalisation(&table, report.get(), m.get(), enzymes.get(), metabolites.get());
    Diagonalised result;
    result.console = ::testing::internal::GetCapturedStdout();
    result.report = report.text();
    const int r = m->columns;
    result.table.assign(table, table + (r + 1) * (r + 1));
    free(table);
    EXPECT_EQ(rows_of(m.get()), rows) << "the matrix handed in must stay unchanged";
    return result;
}

Diagonalised diagonalise(const Rows& rows) {
    return diagonalise(rows, reaction_names(static_cast<int>(rows[0].size())));
}

// The table an expected listing implies: blocks[t - 1] holds the 0-based reactions of block t.
std::vector<int> table_of(const std::vector<std::vector<int>>& blocks, int r) {
    std::vector<int> table((r + 1) * (r + 1), 0);
    for (int t = 1; t <= static_cast<int>(blocks.size()); ++t)
        for (int o : blocks[t - 1]) table[t * r + o] = t + 1;
    return table;
}

// The blocks as the report lists them, as 0-based reactions named R1, R2, ...; checks the
// caption, the numbered headers and the tab after every name on the way.
std::vector<std::vector<int>> listed_blocks(const std::string& report) {
    std::vector<std::vector<int>> blocks;
    const std::string head = caption;
    if (report.compare(0, head.size(), head) != 0) {
        ADD_FAILURE() << "no caption in: " << report;
        return blocks;
    }
    std::istringstream body(report.substr(head.size()));
    std::string line;
    while (std::getline(body, line)) {
        if (line.empty()) continue;
        const std::string header = std::to_string(blocks.size() + 1) + ". block:";
        if (line == header) {
            blocks.emplace_back();
            continue;
        }
        EXPECT_FALSE(blocks.empty()) << line;
        if (blocks.empty()) break;
        std::istringstream names(line);
        std::string name;
        while (std::getline(names, name, '\t'))
            blocks.back().push_back(std::stoi(name.substr(1)) - 1);
        EXPECT_EQ(line.back(), '\t') << line;
    }
    return blocks;
}

TEST(Block_Diagonalisation, FullColumnRankPrintsTheConsoleLineOnly) {
    const Diagonalised result = diagonalise({{1, 0, 2}, {0, 3, 0}, {1, 1, 1}, {0, 0, 0}});
    EXPECT_EQ(result.console, independence_line);
    EXPECT_EQ(result.report, "\n");
    EXPECT_EQ(result.table, std::vector<int>(16, 0));
}

// Each expected text was worked out by hand following the elimination and the sweeps.
struct Listing_Case {
    const char* title;
    Rows rows;
    const char* listing;  // the report after the caption
    std::vector<std::vector<int>> blocks;
};

class Block_Listing : public ::testing::TestWithParam<Listing_Case> {};

TEST_P(Block_Listing, ReportTextAndTable) {
    const Listing_Case& c = GetParam();
    const Diagonalised result = diagonalise(c.rows);
    EXPECT_EQ(result.console, "");
    EXPECT_EQ(result.report, std::string(caption) + c.listing);
    EXPECT_EQ(result.table, table_of(c.blocks, static_cast<int>(c.rows[0].size())));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Block_Listing,
    ::testing::Values(
        // Nullspace (1,0,1,0), (0,1,0,-1): the row sweep brings R3 forward to join R1.
        Listing_Case{"TwoGroupsInExchangedOrder",
                     {{1, 0, -1, 0}, {0, 1, 0, 1}},
                     "1. block:\nR1\tR3\t\n2. block:\nR2\tR4\t\n",
                     {{0, 2}, {1, 3}}},
        // Nullspace (1,1,0): R3 takes part in no vector and follows under its own header.
        Listing_Case{"ReactionWithoutNullspaceEntriesComesLast",
                     {{1, -1, 0}, {0, 0, 1}},
                     "1. block:\nR1\tR2\t\n2. block:\nR3\t\n",
                     {{0, 1}, {2}}},
        // Nullspace (1,1,1,0,0), (1,0,0,1,0), (1,0,0,0,1): R1 couples all five reactions.
        // The first sweeps take in only R2, R1 and R3 without any exchange; the columns of R4
        // and R5 meet the block only through R1, so the sweeps go on until nothing joins.
        Listing_Case{"CoupledReactionsStayInOneBlock",
                     {{0, -1, 1, 0, 0}, {-1, 1, 0, 1, 1}},
                     "1. block:\nR2\tR1\tR3\tR4\tR5\t\n",
                     {{0, 1, 2, 3, 4}}},
        // Nullspace (1,1,0,0,0), (0,0,1,0,0), (1,0,0,1,0), (1,0,0,0,1). The column sweep takes
        // in the first column, exchanges the last one forward and then takes in the third
        // without moving its far end; the row sweep brings R5 forward past R3 and R4.
        Listing_Case{"SweepsExchangeIntoPlace",
                     {{-1, 1, 0, 1, 1}},
                     "1. block:\nR1\tR2\tR5\tR4\t\n2. block:\nR3\t\n",
                     {{0, 1, 4, 3}, {2}}},
        // Every reaction is free: each one a block of its own, in input order.
        Listing_Case{"ZeroMatrixGivesOneBlockPerReaction",
                     {{0, 0, 0}},
                     "1. block:\nR1\t\n2. block:\nR2\t\n3. block:\nR3\t\n",
                     {{0}, {1}, {2}}}),
    [](const ::testing::TestParamInfo<Listing_Case>& info) { return info.param.title; });

// Reactions coupled through a nullspace basis, worked out independently of the code under test:
// fraction-free Gauss-Jordan elimination with coprime rows, then for every free column f the
// basis vector with 1 at f, zero at the other free columns, non-zero at the pivot columns of rows
// whose entry in f is non-zero. Such a basis couples exactly the reactions that no block
// decomposition of the nullspace can separate.
struct Coupling {
    std::set<std::set<int>> groups;  // reactions linked through basis vectors
    std::set<int> blocked;           // reactions zero in every basis vector
    int rank = 0;
};

Coupling coupling_of(const Rows& rows) {
    std::vector<std::vector<long long>> e;
    for (const auto& row : rows) e.emplace_back(row.begin(), row.end());
    const int n = static_cast<int>(e.size());
    const int r = static_cast<int>(e[0].size());
    std::vector<int> pivot_column;
    std::vector<bool> is_pivot(r, false);
    for (int c = 0; c < r && static_cast<int>(pivot_column.size()) < n; ++c) {
        const int top = static_cast<int>(pivot_column.size());
        int s = top;
        while (s < n && e[s][c] == 0) ++s;
        if (s == n) continue;
        std::swap(e[s], e[top]);
        for (int i = 0; i < n; ++i) {
            if (i == top || e[i][c] == 0) continue;
            const long long f = e[i][c];
            long long g = 0;
            for (int j = 0; j < r; ++j) {
                e[i][j] = e[top][c] * e[i][j] - f * e[top][j];
                g = std::gcd(g, e[i][j]);
            }
            if (g > 1)
                for (long long& x : e[i]) x /= g;
        }
        pivot_column.push_back(c);
        is_pivot[c] = true;
    }
    Coupling coupling;
    coupling.rank = static_cast<int>(pivot_column.size());
    std::vector<int> parent(r);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    std::vector<bool> in_basis(r, false);
    for (int f = 0; f < r; ++f) {
        if (is_pivot[f]) continue;
        in_basis[f] = true;
        for (int i = 0; i < coupling.rank; ++i) {
            if (e[i][f] == 0) continue;
            in_basis[pivot_column[i]] = true;
            parent[find(pivot_column[i])] = find(f);
        }
    }
    std::vector<std::set<int>> by_root(r);
    for (int o = 0; o < r; ++o) {
        if (in_basis[o])
            by_root[find(o)].insert(o);
        else
            coupling.blocked.insert(o);
    }
    for (const auto& group : by_root)
        if (!group.empty()) coupling.groups.insert(group);
    return coupling;
}

// Checks that the blocks of one run are exactly the coupled groups, followed by one block of
// the reactions without nullspace entries, and that the table marks the listed blocks.
void expect_blocks_match_coupling(const Rows& rows, const Diagonalised& result) {
    const int r = static_cast<int>(rows[0].size());
    const Coupling coupling = coupling_of(rows);
    if (coupling.rank == r) {
        EXPECT_EQ(result.console, independence_line);
        EXPECT_EQ(result.report, "\n");
        EXPECT_EQ(result.table, std::vector<int>((r + 1) * (r + 1), 0));
        return;
    }
    EXPECT_EQ(result.console, "");
    std::vector<std::vector<int>> blocks = listed_blocks(result.report);
    EXPECT_EQ(result.table, table_of(blocks, r));
    if (!coupling.blocked.empty()) {
        ASSERT_FALSE(blocks.empty());
        EXPECT_EQ(std::set<int>(blocks.back().begin(), blocks.back().end()), coupling.blocked);
        blocks.pop_back();
    }
    std::set<std::set<int>> listed;
    std::size_t listed_reactions = 0;
    for (const auto& block : blocks) {
        listed.emplace(block.begin(), block.end());
        listed_reactions += block.size();
    }
    EXPECT_EQ(listed, coupling.groups);
    EXPECT_EQ(listed_reactions + coupling.blocked.size(), static_cast<std::size_t>(r))
        << "a reaction listed twice";
}

// Two coupled groups and one blocked reaction, columns interleaved. Eliminated literally,
// without dividing rows by their common factor, the intermediate products of the first nine rows
// reach about 5.3e19, beyond 32 and even 64 bits; kept coprime they stay small and the blocks
// come out right.
TEST(Block_Diagonalisation, MatrixWhoseLiteralEliminationOverflowsGivesTheRightBlocks) {
    const Rows rows = {
        {1, 0, 3, 3, 2, 0, 0, 3, 0, 0, 0, 1, 0, 0},
        {0, 0, 2, 0, 3, 0, -2, 0, -2, 0, 0, 1, 1, 2},
        {-2, 0, -2, 0, 0, 0, 3, -2, 3, -1, 0, 1, 3, 2},
        {-2, 0, 1, 3, 0, 0, -2, 1, 3, 0, 0, 0, -1, 1},
        {-2, 0, 3, 3, 2, 0, 0, -2, 1, 1, 0, 0, 1, -2},
        {1, 0, 1, 2, 0, 0, -1, 3, -1, 3, 0, -1, 1, 0},
        {1, 0, -1, 0, 3, 0, 2, 3, 0, 3, 0, -2, 0, 3},
        {3, 0, -2, 2, 1, 0, 0, 0, 2, 0, 0, 1, -2, 3},
        {-2, 0, 1, -1, 0, 0, 0, 1, 3, 1, 0, -1, 0, 3},
        {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0},
        {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    const Diagonalised result = diagonalise(rows);
    std::vector<std::vector<int>> blocks = listed_blocks(result.report);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2], std::vector<int>{5});
    const std::set<std::set<int>> groups = {{blocks[0].begin(), blocks[0].end()},
                                            {blocks[1].begin(), blocks[1].end()}};
    const std::set<std::set<int>> expected = {{1, 10}, {0, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13}};
    EXPECT_EQ(groups, expected);
    expect_blocks_match_coupling(rows, result);
}

TEST(Block_Diagonalisation, BlocksAreTheCoupledGroupsOfRandomMatrices) {
    std::mt19937 random(20240611);
    const int values[] = {0, 0, 0, 0, 1, -1, 1, -1, 2, -2, 3};
    int split = 0;
    int with_blocked = 0;
    int independent = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 1 + static_cast<int>(random() % 5);
        const int r = 1 + static_cast<int>(random() % 8);
        Rows rows(n, std::vector<int>(r));
        for (auto& row : rows)
            for (int& x : row) x = values[random() % std::size(values)];
        SCOPED_TRACE(::testing::PrintToString(rows));
        const Diagonalised result = diagonalise(rows);
        expect_blocks_match_coupling(rows, result);
        const Coupling coupling = coupling_of(rows);
        split += coupling.groups.size() > 1;
        with_blocked += coupling.rank < r && !coupling.blocked.empty();
        independent += coupling.rank == r;
    }
    // The sample must reach every kind of outcome for the property to say something.
    EXPECT_GT(split, 20);
    EXPECT_GT(with_blocked, 20);
    EXPECT_GT(independent, 20);
}

// The block diagonalisation computed the plain dense way, step by step as the listing defines
// it: full-pivoting fraction-free elimination that forms every row below the pivot anew and
// divides it by its common factor; each nullspace column solved from the last pivot row up over
// all rows, rescaled and divided over its whole length; zero rows moved last; blocks grown by
// alternating column and row sweeps. The values are unbounded (GMP's, or 128 bits in a build
// without it).
#ifdef KESTRANE_HAVE_GMP
using Value = mpz_class;
#else
using Value = __int128;
#endif

struct Dense_Reference {
    using Matrix = std::vector<std::vector<Value>>;  // 1-based rows and columns

    // Set when a value of the last run left 64 bits.
    static inline bool beyond_64_bits = false;

    static Value checked(Value x) {
        if (x > INT64_MAX || x < -INT64_MAX) beyond_64_bits = true;
        return x;
    }
    static Value gcd(Value a, Value b) {
        if (a < 0) a = -a;
        if (b < 0) b = -b;
        while (b != 0) {
            Value rest = a % b;
            a = b;
            b = rest;
        }
        return a;
    }
    static void divide_by_common_factor(std::vector<Value*> entries) {
        Value divisor = 0;
        for (Value* x : entries) divisor = gcd(divisor, *x);
        if (divisor > 1)
            for (Value* x : entries) *x /= divisor;
    }

    static Diagonalised diagonalise(const Rows& rows) {
        beyond_64_bits = false;
        const int n = static_cast<int>(rows.size());
        const int r = static_cast<int>(rows[0].size());
        Matrix ca(n + 1, std::vector<Value>(r + 1, 0));
        for (int t = 1; t <= n; ++t)
            for (int w = 1; w <= r; ++w) ca[t][w] = rows[t - 1][w - 1];
        std::vector<int> p(r + 1);
        std::iota(p.begin(), p.end(), 0);
        int i = 1;
        int k = n;
        while (i <= k && i <= r) {
            if (ca[i][i] == 0) {
                int j = i + 1;
                while (j <= r && ca[i][j] == 0) ++j;
                if (j <= r) {
                    for (int t = 1; t <= n; ++t) std::swap(ca[t][i], ca[t][j]);
                    std::swap(p[i], p[j]);
                } else {
                    if (i < k) std::swap(ca[i], ca[k]);
                    --k;
                }
                continue;
            }
            Matrix formed = ca;
            for (int m = i + 1; m <= k; ++m) {
                const Value factor = ca[m][i];
                const Value divisor = gcd(ca[i][i], factor);
                std::vector<Value*> row;
                for (int j = i; j <= r; ++j) {
                    if (factor != 0)
                        formed[m][j] = checked(checked(checked(ca[i][i] * ca[m][j]) -
                                                       checked(ca[i][j] * factor))) /
                                       divisor;
                    row.push_back(&formed[m][j]);
                }
                divide_by_common_factor(row);
            }
            ca = formed;
            ++i;
        }
        const int rank = i - 1;
        const int rho = r - rank;
        Diagonalised result;
        result.table.assign((r + 1) * (r + 1), 0);
        if (rank == r) {
            result.console = independence_line;
            result.report = "\n";
            return result;
        }
        Matrix l(r + 1, std::vector<Value>(rho + 1, 0));
        for (int h = 1; h <= rho; ++h) {
            const int free_row = rank + h;
            l[free_row][h] = 1;
            for (int i = rank; i >= 1; --i) {
                Value z = 0;
                for (int m = i + 1; m <= rank; ++m) z = checked(z + checked(l[m][h] * ca[i][m]));
                const Value v = checked(checked(-ca[i][free_row] * l[free_row][h]) - z);
                const Value d = ca[i][i];
                if (v % d == 0) {
                    l[i][h] = v / d;
                } else {
                    const Value g = gcd(d, v);
                    for (int m = i + 1; m <= free_row; ++m) l[m][h] = checked(l[m][h] * (d / g));
                    l[i][h] = v / g;
                }
                std::vector<Value*> column;
                for (int m = i; m <= free_row; ++m) column.push_back(&l[m][h]);
                divide_by_common_factor(column);
            }
        }
        const auto row_meets = [&](int row, int first, int last) {
            for (int c = first; c <= last; ++c)
                if (l[row][c] != 0) return true;
            return false;
        };
        const auto column_meets = [&](int column, int first, int last) {
            for (int t = first; t <= last; ++t)
                if (l[t][column] != 0) return true;
            return false;
        };
        const auto exchange_rows = [&](int x, int y) {
            std::swap(l[x], l[y]);
            std::swap(p[x], p[y]);
        };
        int R = r;
        for (int row = 1; row <= R;) {
            if (row_meets(row, 1, rho)) {
                ++row;
                continue;
            }
            if (row < R) exchange_rows(row, R);
            --R;
        }
        // One sweep: positions after `last` that meet the block join it; at one that does not,
        // the far end moves in, after its position was exchanged forward if it meets the block.
        const auto sweep = [](int last, int far_end, auto meets, auto exchange) {
            int next = last + 1;
            while (next <= far_end) {
                if (meets(next)) {
                    ++next;
                    continue;
                }
                if (meets(far_end)) exchange(next, far_end);
                --far_end;
            }
            return next - 1;
        };
        std::vector<int> a{0};
        std::vector<int> b{0};
        while (b.back() < rho) {
            const int first_row = a.back() + 1;
            const int first_column = b.back() + 1;
            int last_row = first_row;
            int last_column = first_column - 1;
            for (bool grew = true; grew;) {
                const int rows_before = last_row;
                const int columns_before = last_column;
                last_column = sweep(
                    last_column, rho, [&](int c) { return column_meets(c, first_row, last_row); },
                    [&](int x, int y) {
                        for (int t = 1; t <= R; ++t) std::swap(l[t][x], l[t][y]);
                    });
                last_row = sweep(
                    last_row, R, [&](int t) { return row_meets(t, first_column, last_column); },
                    exchange_rows);
                grew = last_row != rows_before || last_column != columns_before;
            }
            a.push_back(last_row);
            b.push_back(last_column);
        }
        result.report = caption + std::string("1. block:\n");
        int t = 1;
        for (int m = 1; m <= r; ++m) {
            result.table[t * r + p[m] - 1] = t + 1;
            result.report += "R" + std::to_string(p[m]) + "\t";
            if (t < static_cast<int>(a.size()) && a[t] == m && m < r) {
                result.report += "\n" + std::to_string(t + 1) + ". block:\n";
                ++t;
            }
        }
        result.report += "\n";
        return result;
    }
};

// A matrix of n rows whose first columns are random and whose other columns each combine one
// or two earlier ones, in shuffled order: its nullspace vectors have zeros that only exact
// cancellation in the back substitution produces.
Rows with_dependent_columns(std::mt19937& random, int n, int r) {
    const int independent = std::uniform_int_distribution<int>(1, std::min(n, r))(random);
    Rows columns = random_rows(random, independent, n, 1.0, 4);
    std::uniform_int_distribution<int> factor(-3, 3);
    while (static_cast<int>(columns.size()) < r) {
        const std::vector<int> first = columns[random() % columns.size()];
        const std::vector<int> second = columns[random() % columns.size()];
        const int f = factor(random);
        const int g = random() % 2 == 0 ? 0 : factor(random);
        std::vector<int> combined(n);
        for (int t = 0; t < n; ++t) combined[t] = f * first[t] + g * second[t];
        columns.push_back(combined);
    }
    std::shuffle(columns.begin(), columns.end(), random);
    Rows rows(n, std::vector<int>(r));
    for (int t = 0; t < n; ++t)
        for (int o = 0; o < r; ++o) rows[t][o] = columns[o][t];
    return rows;
}

// Random matrices from very sparse to full, from a few to many rows, some rows with a common
// factor, small and large values, and matrices with dependent columns: report, console and table
// are those of the dense reference, also where its values leave 64 bits.
TEST(Block_Diagonalisation, MatchesTheDenseReferenceOnRandomMatrices) {
    std::mt19937 random(99);
    const double densities[] = {0.1, 0.3, 0.7, 1.0};
    const int magnitudes[] = {1, 3, 100, 1000000};
    int exact = 0;
    int wide = 0;
    for (int trial = 0; trial < 500; ++trial) {
        const int n = std::uniform_int_distribution<int>(1, 12)(random);
        const int r = std::uniform_int_distribution<int>(1, 20)(random);
        Rows rows = random_rows(random, n, r, densities[trial % 4], magnitudes[trial / 4 % 4]);
        if (trial % 3 == 0)
            for (int& x : rows[random() % n]) x *= 6;
        if (trial % 2 == 1) rows = with_dependent_columns(random, n, r);
        SCOPED_TRACE(::testing::PrintToString(rows));
        const Diagonalised expected = Dense_Reference::diagonalise(rows);
        const Diagonalised result = diagonalise(rows);
        EXPECT_EQ(result.report, expected.report);
        EXPECT_EQ(result.console, expected.console);
        EXPECT_EQ(result.table, expected.table);
        ++(Dense_Reference::beyond_64_bits ? wide : exact);
    }
    EXPECT_GT(exact, 400);
    EXPECT_GT(wide, 8);
}

// Kernels of long chains of reversible pairs, each pair a cycle of its own, and of one long open
// chain: many rows whose entries stay apart, as in networks of thousands of reactions.
TEST(Block_Diagonalisation, LongChainKernelsMatchTheDenseReference) {
    for (int pairs : {30, 120}) {
        SCOPED_TRACE(pairs);
        Rows cycles(pairs, std::vector<int>(2 * pairs, 0));
        for (int i = 0; i < pairs; ++i) cycles[i][2 * i] = cycles[i][2 * i + 1] = 1;
        const Rows open_chain(1, std::vector<int>(2 * pairs, 1));
        for (const Rows& rows : {cycles, open_chain}) {
            const Diagonalised expected = Dense_Reference::diagonalise(rows);
            const Diagonalised result = diagonalise(rows);
            EXPECT_EQ(result.report, expected.report);
            EXPECT_EQ(result.table, expected.table);
        }
    }
}

// Values far beyond 64 bits in the elimination: the blocks are the dense reference's.
TEST(Block_Diagonalisation, LargeValuesAreWorkedOutWider) {
    const Rows huge = {{2147483647, 2147483646, 7, 1},
                       {2147483646, -2147483647, 1, 5},
                       {2147483645, 2147483643, -2147483647, 3}};
    const Diagonalised expected = Dense_Reference::diagonalise(huge);
    EXPECT_TRUE(Dense_Reference::beyond_64_bits);
    const Diagonalised result = diagonalise(huge);
    EXPECT_EQ(result.report, expected.report);
    EXPECT_EQ(result.console, expected.console);
    EXPECT_EQ(result.table, expected.table);
}

TEST(Block_Diagonalisation, EmptyMatricesStop) {
    Owned_Mat no_columns = make_rowless_mat(0);
    Owned_Mat no_rows = make_rowless_mat(3);
    Owned_List enzymes = make_list(reaction_names(4));
    Owned_List metabolites = make_list({"A"});
    Report_File report;
    int* table = nullptr;
    EXPECT_STOPS_PRINTING(block_diagonalisation(&table, report.get(), no_columns.get(),
                                                enzymes.get(), metabolites.get()),
                          zero_amount("react_names"));
    EXPECT_STOPS_PRINTING(block_diagonalisation(&table, report.get(), no_rows.get(), enzymes.get(),
                                                metabolites.get()),
                          zero_amount("mets"));
}

}  // namespace
