#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "report/block_diagonalisation.h"
#include "report_test_support.h"

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

TEST(Block_Diagonalisation, StopsOnOverflowAndOnEmptyMatrices) {
    const Rows huge = {{2147483647, 2147483646, 7, 1},
                       {2147483646, -2147483647, 1, 5},
                       {2147483645, 2147483643, -2147483647, 3}};
    Owned_Mat m = make_mat(huge);
    Owned_Mat no_columns = make_rowless_mat(0);
    Owned_Mat no_rows = make_rowless_mat(3);
    Owned_List enzymes = make_list(reaction_names(4));
    Owned_List metabolites = make_list({"A"});
    Report_File report;
    int* table = nullptr;
    EXPECT_STOPS_PRINTING(
        block_diagonalisation(&table, report.get(), m.get(), enzymes.get(), metabolites.get()),
        overflow_in("the block diagonalisation"));
    EXPECT_STOPS_PRINTING(block_diagonalisation(&table, report.get(), no_columns.get(),
                                                enzymes.get(), metabolites.get()),
                          zero_amount("react_names"));
    EXPECT_STOPS_PRINTING(block_diagonalisation(&table, report.get(), no_rows.get(), enzymes.get(),
                                                metabolites.get()),
                          zero_amount("mets"));
}

}  // namespace
