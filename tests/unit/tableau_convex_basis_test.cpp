#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tableau/kernel_tableau.h"
#include "tableau_fixture.h"

namespace {

using Rows = std::vector<std::vector<int> >;

// The reaction parts of slots 0 to rows - 1.
Rows basis_rows(const Int_Tableau& t) {
    Rows rows;
    for (unsigned r = 0; r < t.rows; ++r) {
        std::vector<int> row = row_of(t, r);
        row.resize(t.reactions);
        rows.push_back(row);
    }
    return rows;
}

// Runs the convex basis of m with the given reversibility and returns the console output.
std::string run_convex_basis(Int_Kestrane& t) {
    Kestrane_Iteration it(t);
    ::testing::internal::CaptureStdout();
    t.convex_basis(it, false);
    return ::testing::internal::GetCapturedStdout();
}

TEST(CompactTableau, MovesTheHighestRowsIntoTheLowestFreeSlots) {
    Int_Kestrane t = reaction_tableau(2, true);
    t.resize_tableau(8);
    for (unsigned r = 0; r < 8; ++r) write_row(t, r, {int(r) + 1, -int(r) - 1});
    t.reversible_rows[7] = true;
    t.row_status[7] = 4;
    std::vector<unsigned> live{5, 2, 7};
    Free_Slots free;
    for (unsigned f : {0u, 1u, 3u, 4u, 6u}) free.push(f);
    t.compact_tableau(live, free);
    EXPECT_EQ(live, (std::vector<unsigned>{2, 1, 0}));
    EXPECT_EQ(t.rows, 2u);
    EXPECT_EQ(row_of(t, 0), (std::vector<int>{8, -8}));
    EXPECT_EQ(row_of(t, 1), (std::vector<int>{6, -6}));
    EXPECT_EQ(row_of(t, 2), (std::vector<int>{3, -3}));
    EXPECT_TRUE(t.reversible_rows[0]);
    EXPECT_EQ(t.row_status[0], 4);
    std::vector<unsigned> now_free;
    for (; !free.empty(); free.pop()) now_free.push_back(free.top());
    EXPECT_EQ(now_free, (std::vector<unsigned>{3, 4, 5, 6, 7}));
}

TEST(CompactTableau, WithoutFreeSlotsChangesNothing) {
    Int_Kestrane t = reaction_tableau(3, true);
    const std::vector<int> before = t.coefficients;
    std::vector<unsigned> live{2, 0, 1};
    Free_Slots free;
    t.compact_tableau(live, free);
    EXPECT_EQ(live, (std::vector<unsigned>{2, 0, 1}));
    EXPECT_EQ(t.rows, 3u);
    EXPECT_EQ(t.coefficients, before);
}

TEST(ConvexBasis, WorkedExampleWithAReversiblePivot) {
    Matrix_Holder m({{1, -1, -1, -1}}, 4);
    Vector_Holder rev({1, 1, 1, 0});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    const std::string out = run_convex_basis(t);
    EXPECT_EQ(out,
              "Processing column 4 (1/1); allocated 4 rows, last row at 3, 0 free rows\n"
              "4 rows in tableau\n"
              "0 rows accepted, \n"
              "0 rows deleted by condition seven, 0 combinations ignored by concial dependence, \n"
              "Found 3 convex basis vectors\n");
    EXPECT_EQ(basis_rows(t), (Rows{{1, 0, 0, 1}, {0, 0, 1, -1}, {0, 1, 0, -1}}));
    for (unsigned r = 0; r < 3; ++r) {
        EXPECT_EQ(t.coefficients[r * t.stride + 4], 0);
        EXPECT_FALSE(t.reversible_rows[r]);
        EXPECT_EQ(t.row_status[r], 0);
    }
    EXPECT_EQ(t.req_zeros, 3);
    EXPECT_EQ(t.row_status.size(), 132u);
    EXPECT_EQ(t.reversible_rows.size(), 132u);
}

TEST(ConvexBasis, CountersAndFreeSlotsAppearInTheNextColumnsProgress) {
    // Two constraints on three irreversible reactions: the second step sees the first step's
    // accepted rows and the freed slots.
    Matrix_Holder m({{1, -1, 0}, {0, 1, -1}}, 3);
    Vector_Holder rev({1, 1, 1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    const std::string out = run_convex_basis(t);
    EXPECT_EQ(out,
              "Processing column 4 (1/2); allocated 3 rows, last row at 2, 0 free rows\n"
              "3 rows in tableau\n"
              "0 rows accepted, \n"
              "0 rows deleted by condition seven, 0 combinations ignored by concial dependence, \n"
              "Processing column 3 (2/2); allocated 131 rows, last row at 3, 129 free rows\n"
              "2 rows in tableau\n"
              "1 rows accepted, \n"
              "0 rows deleted by condition seven, 0 combinations ignored by concial dependence, \n"
              "Found 1 convex basis vectors\n");
    EXPECT_EQ(basis_rows(t), (Rows{{1, 1, 1}}));
}

struct Basis_Case {
    const char* name;
    Rows m;
    int columns;
    std::vector<int> rev;
    Rows expected;
    std::vector<bool> reversible;
    int req_zeros;
    friend void PrintTo(const Basis_Case& c, std::ostream* os) { *os << c.name; }
};

class ConvexBasisCases : public ::testing::TestWithParam<Basis_Case> {};

TEST_P(ConvexBasisCases, GivesTheExpectedBasis) {
    const Basis_Case& c = GetParam();
    Matrix_Holder m(c.m, c.columns);
    Vector_Holder rev(c.rev);
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    const std::string out = run_convex_basis(t);
    EXPECT_EQ(basis_rows(t), c.expected);
    EXPECT_EQ(std::vector<bool>(t.reversible_rows.begin(), t.reversible_rows.begin() + t.rows),
              c.reversible);
    EXPECT_EQ(t.req_zeros, c.req_zeros);
    const std::string found =
        "Found " + std::to_string(c.expected.size()) + " convex basis vectors\n";
    EXPECT_EQ(out.substr(out.size() - found.size()), found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvexBasisCases,
    ::testing::Values(
        // +1 and -1 in the only column: their sum is the single basis vector.
        Basis_Case{"OppositeSigns", {{1, -1}}, 2, {1, 1}, {{1, 1}}, {false}, 2 + 0 - 1 + 0},
        // Same sign: nothing can be combined and both rows are freed.
        Basis_Case{"SameSign", {{1, 1}}, 2, {1, 1}, {}, {}, 2 + 1 - 1},
        // An all-zero constraint column costs a step without combinations.
        Basis_Case{"EmptyColumn", {{0, 0}, {1, -1}}, 2, {1, 1}, {{1, 1}}, {false}, 2 + 1 - 2},
        // One reversible non-zero row and nothing else: a pivot without pairs, freed.
        Basis_Case{"LonePivot", {{0, 1}}, 2, {1, 0}, {{1, 0}}, {false}, 1 + 1 - 1},
        // Reversible rows combine into a reversible lineality vector; the row with the largest
        // value is the pivot, and reversible rows keep the sign the multipliers give them.
        Basis_Case{"ReversibleOnly", {{1, -2}}, 2, {0, 0}, {{-2, -1}}, {true}, 0 + 1 - 1 + 1},
        // No constraint is violated: the unit vectors stay, reversible ones flagged.
        Basis_Case{"ZeroMatrix",
                   {{0, 0, 0}},
                   3,
                   {1, 0, 1},
                   {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                   {false, true, false},
                   2 + 1 - 1 + 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvexBasis, KernelTableauOfAnEmptyBasisGivesAMatrixWithoutRows) {
    Matrix_Holder m({{1, 1}}, 2);
    Vector_Holder rev({1, 1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    run_convex_basis(t);
    ASSERT_EQ(t.rows, 0u);
    Kernel_Tableau<int> modes(t);
    EXPECT_EQ(modes.rows, 0u);
    const Wide_Mat none = modes.make_mat();
    EXPECT_EQ(none.rows(), 0);
    EXPECT_EQ(none.columns(), 2);
    EXPECT_EQ(t.make_mat().rows(), 0);
}

TEST(ConvexBasis, OverflowSavesThePositionAndPassesRangeErrorOn) {
    // The column (3, -2) is processed first; 2 * row 0 + 3 * row 1 overflows in the other one.
    Matrix_Holder m({{1000000000, 1000000000}, {3, -2}}, 2);
    Vector_Holder rev({1, 1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    Kestrane_Iteration it(t);
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(t.convex_basis(it, false), Range_Error);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(it.new_slot, 2u);
    EXPECT_EQ(it.step, 0u);
    EXPECT_EQ(it.last_slot, 1u);
    EXPECT_EQ(it.start_rows, 2u);
    ASSERT_NE(it.resume_first, nullptr);
    ASSERT_NE(it.resume_second, nullptr);
    EXPECT_EQ(*it.resume_first, 0u);
    EXPECT_EQ(*it.resume_second, 1u);
    EXPECT_EQ(t.rows, 3u);
}

TEST(ConvexBasis, ResumingIsRefused) {
    Matrix_Holder m({{1, -1}}, 2);
    Int_Kestrane t(m.get(), nullptr, nullptr);
    Kestrane_Iteration it(t);
    EXPECT_THROW(t.convex_basis(it, true), std::logic_error);
}

TEST(ConvexBasis, AdjacencyUsesTheIrreversibilityOfTheSecondPatternWord) {
    // 40 reactions: 0..31 take no part (reversible), 32..39 are irreversible and carry the
    // constraints  v32 + v33 = v34 + v35  and  v36 = v37 + v38 + v39  (independent blocks).
    std::vector<int> first(40, 0), second(40, 0);
    first[32] = first[33] = 1;
    first[34] = first[35] = -1;
    second[36] = 1;
    second[37] = second[38] = second[39] = -1;
    std::vector<int> rev(40, 0);
    for (int k = 32; k < 40; ++k) rev[k] = 1;
    Matrix_Holder m({first, second}, 40);
    Vector_Holder r(rev);
    Int_Kestrane t(m.get(), r.get(), nullptr);
    run_convex_basis(t);
    // 32 reversible unit vectors, 4 rays of the first block, 3 of the second.
    ASSERT_EQ(t.rows, 39u);
    unsigned reversible = 0;
    for (const auto& row : basis_rows(t)) {
        long long first_sum = 0, second_sum = 0;
        for (int k = 0; k < 40; ++k) {
            first_sum += static_cast<long long>(first[k]) * row[k];
            second_sum += static_cast<long long>(second[k]) * row[k];
        }
        EXPECT_EQ(first_sum, 0);
        EXPECT_EQ(second_sum, 0);
        int support = 0;
        for (int k = 32; k < 40; ++k) {
            EXPECT_GE(row[k], 0);
            support += row[k] != 0;
        }
        // Every extreme ray of either block has two non-zero columns.
        if (support == 0) {
            ++reversible;
        } else {
            EXPECT_EQ(support, 2);
        }
    }
    EXPECT_EQ(reversible, 32u);
}

}  // namespace
