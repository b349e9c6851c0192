#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "tableau/kernel_tableau.h"
#include "tableau_fixture.h"
#include "tests/support/records.h"

namespace {

bool same_zero_pattern(const Zero_Pattern& a, const Zero_Pattern& b) {
    return a.first_zero == b.first_zero && a.last_zero == b.last_zero &&
           a.first_nonzero == b.first_nonzero && a.last_nonzero == b.last_nonzero &&
           a.zeros == b.zeros;
}

TEST(KestraneTableau, LaysOutIdentityBesideTheTransposedMatrix) {
    Matrix_Holder m({{1, 2, 3}, {4, 5, 6}}, 3);
    Vector_Holder rev({1, 0, -1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    EXPECT_EQ(t.rows, 3u);
    EXPECT_EQ(t.reactions, 3u);
    EXPECT_EQ(t.stride, 5u);
    EXPECT_EQ(t.req_zeros, 0);
    EXPECT_EQ(row_of(t, 0), (std::vector<int>{1, 0, 0, 1, 4}));
    EXPECT_EQ(row_of(t, 1), (std::vector<int>{0, 1, 0, 2, 5}));
    EXPECT_EQ(row_of(t, 2), (std::vector<int>{0, 0, 1, 3, 6}));
    // 1 marks the column irreversible, 0 and negative values leave it reversible.
    EXPECT_EQ(t.irreversible_columns, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(t.reversible_rows, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(t.row_status, (std::vector<int>{-1, -1, -1}));
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[1], Zero_Pattern{0, 2, 1, 1, 2}));
    EXPECT_EQ(t.bit_patterns.pattern(1)[0], 0x40000000u | 0x1FFFFFFFu);
    EXPECT_EQ(t.minutes_used, 0.0f);
}

TEST(KestraneTableau, WithoutReversibilityVectorEveryRowIsReversible) {
    Matrix_Holder m({{1, -1}}, 2);
    Int_Kestrane t(m.get(), nullptr, nullptr);
    EXPECT_EQ(t.irreversible_columns, (std::vector<bool>{false, false}));
    EXPECT_EQ(t.reversible_rows, (std::vector<bool>{true, true}));
}

TEST(KestraneTableau, RefusesAShortReversibilityVector) {
    Matrix_Holder m({{1, -1, 2}}, 3);
    Vector_Holder rev({1, 1});
    EXPECT_THROW(Int_Kestrane(m.get(), rev.get(), nullptr), std::out_of_range);
}

TEST(Tableau, SetZeroPatternSummarisesTheReactionColumnsOnly) {
    Matrix_Holder m({{0, 0, 0, 0}}, 4);  // one constraint column after four reaction columns
    Int_Kestrane t(m.get(), nullptr, nullptr);
    write_row(t, 0, {0, 3, 0, -1, 9});
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[0], Zero_Pattern{0, 2, 1, 3, 2}));
    write_row(t, 1, {0, 0, 0, 0, 5});
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[1], Zero_Pattern{0, 3, INT_MAX, -1, 4}));
    write_row(t, 2, {1, 2, 3, 4, 0});
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[2], Zero_Pattern{INT_MAX, -1, 0, 3, 0}));
    EXPECT_THROW(t.set_zero_pattern(4), std::out_of_range);
}

TEST(Tableau, ResizeKeepsEveryExistingSlotAndAddsEmptyOnes) {
    Matrix_Holder m({{2, -1, 0}}, 3);
    Vector_Holder rev({1, 0, 1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    const std::vector<int> coefficients = t.coefficients;
    const std::vector<unsigned> patterns = t.bit_patterns.patterns;
    const std::vector<bool> flags = t.reversible_rows;
    t.resize_tableau(7);
    EXPECT_EQ(t.rows, 3u);
    ASSERT_EQ(t.coefficients.size(), 7u * 4);
    EXPECT_TRUE(std::equal(coefficients.begin(), coefficients.end(), t.coefficients.begin()));
    EXPECT_TRUE(std::equal(patterns.begin(), patterns.end(), t.bit_patterns.patterns.begin()));
    EXPECT_EQ(t.row_status, (std::vector<int>{-1, -1, -1, -2, -2, -2, -2}));
    EXPECT_EQ(t.reversible_rows,
              (std::vector<bool>{false, true, false, false, false, false, false}));
    ASSERT_EQ(t.zero_pattern.size(), 7u);
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[2], Zero_Pattern{0, 1, 2, 2, 2}));
    for (unsigned r = 3; r < 7; ++r) {
        EXPECT_EQ(t.bit_patterns.pattern(r)[0], 0xFFFFFFFFu);
        EXPECT_TRUE(same_zero_pattern(t.zero_pattern[r], Zero_Pattern{0, 0, 0, 0, 0}));
        EXPECT_EQ(row_of(t, r), std::vector<int>(4, 0));
    }
    EXPECT_EQ(flags, std::vector<bool>(t.reversible_rows.begin(), t.reversible_rows.begin() + 3));

    t.resize_tableau(2);
    EXPECT_EQ(t.coefficients.size(), 2u * 4);
    EXPECT_EQ(t.bit_patterns.patterns.size(), 2u);
    EXPECT_EQ(t.row_status.size(), 2u);
    EXPECT_EQ(t.reversible_rows.size(), 2u);
    EXPECT_EQ(t.zero_pattern.size(), 2u);
}

// Resizing within what was reserved moves no store; a store that has to move for a reservation
// grows to at least twice its slots, so that reservations a few slots apart copy it rarely.
TEST(Tableau, ReserveKeepsTheStoresInPlaceAndGrowsThemGeometrically) {
    Matrix_Holder m({{2, -1, 0}}, 3);
    Vector_Holder rev({1, 0, 1});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    t.reserve_tableau(5);
    EXPECT_GE(t.coefficients.capacity(), 6u * 4);
    EXPECT_GE(t.row_status.capacity(), 6u);
    EXPECT_GE(t.zero_pattern.capacity(), 6u);
    EXPECT_GE(t.bit_patterns.patterns.capacity(), 6u);
    t.reserve_tableau(6);
    const int* coefficients = t.coefficients.data();
    const int* status = t.row_status.data();
    const Zero_Pattern* zeros = t.zero_pattern.data();
    const unsigned* patterns = t.bit_patterns.patterns.data();
    t.resize_tableau(6);
    EXPECT_EQ(t.coefficients.data(), coefficients);
    EXPECT_EQ(t.row_status.data(), status);
    EXPECT_EQ(t.zero_pattern.data(), zeros);
    EXPECT_EQ(t.bit_patterns.patterns.data(), patterns);
    EXPECT_EQ(t.row_status, (std::vector<int>{-1, -1, -1, -2, -2, -2}));
}

TEST(Tableau, CopyRowCopiesEverythingOfTheSlot) {
    Matrix_Holder m({{5, -3}}, 2);
    Vector_Holder rev({1, 0});
    Int_Kestrane t(m.get(), rev.get(), nullptr);
    t.resize_tableau(4);
    t.copy_row(1, 3);
    EXPECT_EQ(row_of(t, 3), (std::vector<int>{0, 1, -3}));
    EXPECT_EQ(t.bit_patterns.pattern(3)[0], t.bit_patterns.pattern(1)[0]);
    EXPECT_TRUE(t.reversible_rows[3]);
    EXPECT_TRUE(same_zero_pattern(t.zero_pattern[3], t.zero_pattern[1]));
    EXPECT_EQ(t.row_status[3], -1);
    EXPECT_EQ(t.irreversible_columns, (std::vector<bool>{true, false}));
}

struct Order_Case {
    const char* name;
    bool plain_count;
    std::vector<unsigned> columns;
    std::vector<unsigned> expected;
    std::vector<unsigned> expected_settled;
    friend void PrintTo(const Order_Case& c, std::ostream* os) { *os << c.name; }
};

// Four reaction columns, no constraint part; row 0 reversible, rows 1 to 3 irreversible;
// column 3 irreversible, columns 0 to 2 reversible.
//   col 0: two positive irreversible rows        -> no step needed (key 0)
//   col 1: one reversible row and nothing else   -> no step needed (key 0)
//   col 2: one reversible, one positive irreversible, reversible reaction -> 2 + rows = 6
//   col 3: one reversible, one positive irreversible, irreversible reaction -> 2
//   col 4 does not exist as reaction column but columns 0..3 suffice.
class ColumnOrder : public ::testing::TestWithParam<Order_Case> {};

TEST_P(ColumnOrder, SortsByDescendingKeyAndSettlesTrailingZeroKeys) {
    const Order_Case& c = GetParam();
    Int_Kestrane t = reaction_tableau(4, false);
    t.irreversible_columns = {false, false, false, true};
    t.reversible_rows = {true, false, false, false};
    write_row(t, 0, {0, 1, 1, 1});
    write_row(t, 1, {1, 0, 1, 1});
    write_row(t, 2, {2, 0, 0, 0});
    write_row(t, 3, {0, 0, 0, 0});
    std::vector<unsigned> columns = c.columns;
    std::vector<unsigned> settled;
    t.calculate_column_order(columns, c.plain_count, &settled);
    EXPECT_EQ(columns, c.expected);
    EXPECT_EQ(settled, c.expected_settled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnOrder,
    ::testing::Values(
        Order_Case{"ModesKeysAndSettled", false, {0, 1, 2, 3}, {2, 3}, {1, 0}},
        Order_Case{"ModesSingleColumnUnchanged", false, {0}, {0}, {}},
        Order_Case{"ModesNothingSettledBeforeNonZeroKey", false, {3, 2}, {2, 3}, {}},
        // Plain counts: col 0 -> 2, col 1 -> 1, col 2 -> 2, col 3 -> 2; equal keys keep order.
        Order_Case{"PlainCounts", true, {0, 1, 2, 3}, {0, 2, 3, 1}, {}},
        Order_Case{"PlainSingleColumnUnchanged", true, {3}, {3}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnOrder, PlainCountProcessesAColumnWithoutNonZeroEntriesFirst) {
    // Three constraint columns with 3, 0 and 3 non-zero rows.
    Matrix_Holder m({{1, 1, 1}, {0, 0, 0}, {1, -1, 2}}, 3);
    Int_Kestrane t(m.get(), nullptr, nullptr);
    std::vector<unsigned> columns{3, 4, 5};
    std::vector<unsigned> settled;
    t.calculate_column_order(columns, true, &settled);
    // The empty column gets key 0 and, with a settled list, leaves the list; among the equal keys
    // the column that stood later is processed (taken from the back) first.
    EXPECT_EQ(columns, (std::vector<unsigned>{3, 5}));
    EXPECT_EQ(settled, (std::vector<unsigned>{4}));
    std::vector<unsigned> without_settled{3, 4, 5};
    t.calculate_column_order(without_settled, true, nullptr);
    EXPECT_EQ(without_settled, (std::vector<unsigned>{3, 5, 4}));
}

TEST(MakeMat, CopiesTheReactionPartsInSlotOrder) {
    Matrix_Holder m({{7, 8}}, 2);
    Int_Kestrane t(m.get(), nullptr, nullptr);
    write_row(t, 1, {-4, 9, 123});
    const Wide_Mat copy = t.make_mat();
    ASSERT_EQ(copy.rows(), 2);
    ASSERT_EQ(copy.columns(), 2);
    EXPECT_EQ(rows_of(copy), (Rows{{1, 0}, {-4, 9}}));
    t.coefficients[0] = 55;  // the copy does not follow the tableau
    EXPECT_EQ(rows_of(copy), (Rows{{1, 0}, {-4, 9}}));
}

TEST(MakeSortedRefMat, PointsIntoTheTableauInPatternOrder) {
    Int_Kestrane t = reaction_tableau(3, true);
    write_row(t, 0, {1, 1, 0});
    write_row(t, 1, {0, 2, 5});
    write_row(t, 2, {1, 0, 3});
    ::testing::internal::CaptureStdout();
    mat* sorted = t.make_sorted_ref_mat();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Sorting modes... finished\n");
    ASSERT_EQ(sorted->rows, 3);
    ASSERT_EQ(sorted->columns, 3);
    EXPECT_EQ(sorted->head[0], t.coefficients.data() + 1 * 3);  // pattern 011
    EXPECT_EQ(sorted->head[1], t.coefficients.data() + 2 * 3);  // pattern 101
    EXPECT_EQ(sorted->head[2], t.coefficients.data() + 0 * 3);  // pattern 110
    free(sorted->head);
    free(sorted);
}

struct Time_Case {
    float minutes;
    const char* expected;
};

TEST(TimeUsed, WritesMinutesAndZeroFilledSeconds) {
    const Time_Case cases[] = {
        {1.5f, "Time used for calculations so far: 1m30.00s\n"},
        {5.25f / 60.0f, "Time used for calculations so far: 0m05.25s\n"},
        {0.0f, "Time used for calculations so far: 0m00.00s\n"},
        {12.0f + 45.5f / 60.0f, "Time used for calculations so far: 12m45.50s\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        write_time_used(out, c.minutes);
        EXPECT_EQ(out.str(), c.expected);
    }
}

TEST(TimeUsed, LeavesThePrecisionButResetsTheNotationAndFill) {
    std::ostringstream out;
    write_time_used(out, 2.0f);
    out.str("");
    out << 3.14159 << '|' << std::setw(3) << 7;
    EXPECT_EQ(out.str(), "3.1|  7");
}

TEST(KernelTableau, KeepsTheReactionPartOfTheConvexBasisTableau) {
    Matrix_Holder m({{1, -1, 2}}, 3);
    Vector_Holder rev({1, 0, 1});
    Int_Kestrane k(m.get(), rev.get(), nullptr);
    k.resize_tableau(5);  // capacity above rows, as after a convex-basis run
    k.req_zeros = 4;
    k.minutes_used = 0.25f;
    write_row(k, 2, {3, 0, -6, 7});
    Kernel_Tableau<int> t(k);
    EXPECT_EQ(t.rows, 3u);
    EXPECT_EQ(t.reactions, 3u);
    EXPECT_EQ(t.stride, 3u);
    EXPECT_EQ(t.req_zeros, 4);
    EXPECT_EQ(t.coefficients, (std::vector<int>{1, 0, 0, 0, 1, 0, 3, 0, -6}));
    EXPECT_EQ(t.row_status, (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(t.reversible_rows.size(), 5u);
    EXPECT_EQ(t.zero_pattern.size(), 5u);
    EXPECT_EQ(t.irreversible_columns, k.irreversible_columns);
    EXPECT_EQ(t.bit_patterns.patterns.size(), 3u);
    EXPECT_EQ(t.bit_patterns.pattern(2)[0], 0xA0000000u | 0x1FFFFFFFu);
    EXPECT_EQ(t.minutes_used, 0.25f);
    EXPECT_EQ(t.start_clock, k.start_clock);
    ASSERT_NE(t.scratch_pattern, nullptr);
}

}  // namespace
