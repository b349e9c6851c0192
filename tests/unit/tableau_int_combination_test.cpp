#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <vector>

#include "tableau_fixture.h"

namespace {

using Combine = Int_Combination<int>;

struct Combine_Case {
    const char* name;
    std::vector<int> first;
    std::vector<int> second;
    int column;  // the column to cancel
    bool first_reversible;
    bool second_reversible;
    std::vector<int> expected;
    friend void PrintTo(const Combine_Case& c, std::ostream* os) { *os << c.name; }
};

class CombineRows : public ::testing::TestWithParam<Combine_Case> {};

// Combines slot 0 and slot 1 of a three-column tableau into slot 2.
TEST_P(CombineRows, CancelsTheColumnWithTheSmallestMultipliers) {
    const Combine_Case& c = GetParam();
    Int_Kestrane t = reaction_tableau(3, true);
    write_row(t, 0, c.first);
    write_row(t, 1, c.second);
    Combine::combine_rows(0, 3, t, c.first[c.column], c.second[c.column], c.first_reversible,
                          c.second_reversible, 6, t.zero_pattern[2]);
    EXPECT_EQ(row_of(t, 2), c.expected);
    EXPECT_EQ(row_of(t, 0), c.first);
    EXPECT_EQ(row_of(t, 1), c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombineRows,
    ::testing::Values(
        // g = 1, multipliers 3 (first) and 2 (second).
        Combine_Case{"CoprimeValues", {1, 2, 0}, {0, -3, 5}, 1, false, false, {3, 0, 10}},
        // g = 2, multipliers 3 and 2.
        Combine_Case{"CommonFactor", {1, 4, 0}, {0, -6, 1}, 1, false, false, {3, 0, 2}},
        // Reversible first row: the irreversible second row must enter positively.
        Combine_Case{
            "ReversibleWithIrreversible", {1, -2, 0}, {0, 3, 1}, 1, true, false, {3, 0, 2}},
        // Irreversible first row whose multiplier would be negative.
        Combine_Case{"IrreversibleFirst", {1, 2, 0}, {0, 3, 1}, 1, false, true, {3, 0, -2}},
        // Both reversible: no sign adjustment.
        Combine_Case{"BothReversible", {1, -2, 0}, {0, 3, 1}, 1, true, true, {-3, 0, -2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CombineRows, FillsTheZeroSummaryOfTheReactionColumnsOnly) {
    Matrix_Holder m({{2, -3}}, 2);  // reactions 2, one constraint column
    Int_Kestrane t(m.get(), nullptr, nullptr);
    t.resize_tableau(3);
    Combine::combine_rows(0, 3, t, 2, -3, false, false, 6, t.zero_pattern[2]);
    EXPECT_EQ(row_of(t, 2), (std::vector<int>{3, 2, 0}));
    const Zero_Pattern& z = t.zero_pattern[2];
    EXPECT_EQ(z.zeros, 0);
    EXPECT_EQ(z.first_zero, INT_MAX);
    EXPECT_EQ(z.last_zero, -1);
    EXPECT_EQ(z.first_nonzero, 0);
    EXPECT_EQ(z.last_nonzero, 1);
}

struct Range_Case {
    int first;   // coefficient in column 0 of the first row (its value in column 1 is 1)
    int second;  // coefficient in column 0 of the second row (its value in column 1 is -1)
    bool overflows;
    int result;
};

// Multipliers are 1 and 1, so column 0 of the result is first + second.
TEST(CombineRows, AcceptsEveryValueOfMagnitudeUpToIntMaxAndRefusesTheRest) {
    const Range_Case cases[] = {
        {2147483646, 1, false, 2147483647}, {-2147483646, -1, false, -2147483647},
        {-2147483647, -1, true, 0},  // -2147483648 is refused as well
        {2147483647, 1, true, 0},           {2147483647, 2147483647, true, 0},
    };
    for (const auto& c : cases) {
        Int_Kestrane t = reaction_tableau(2, true);
        t.resize_tableau(3);
        write_row(t, 0, {c.first, 1});
        write_row(t, 1, {c.second, -1});
        if (c.overflows) {
            EXPECT_THROW(Combine::combine_rows(0, 2, t, 1, -1, false, false, 4, t.zero_pattern[2]),
                         Range_Error)
                << c.first << " + " << c.second;
        } else {
            Combine::combine_rows(0, 2, t, 1, -1, false, false, 4, t.zero_pattern[2]);
            EXPECT_EQ(row_of(t, 2), (std::vector<int>{c.result, 0}));
        }
    }
}

TEST(CombineRows, LargeMultipliersAreFormedInSixtyFourBits) {
    Int_Kestrane t = reaction_tableau(2, true);
    t.resize_tableau(3);
    // Multipliers 65536 and 65535 (coprime values): 65536 * 40000 overflows 32 bits.
    write_row(t, 0, {40000, 65535});
    write_row(t, 1, {0, -65536});
    EXPECT_THROW(Combine::combine_rows(0, 2, t, 65535, -65536, false, false, 4, t.zero_pattern[2]),
                 Range_Error);
    write_row(t, 0, {30000, 65535});
    Combine::combine_rows(0, 2, t, 65535, -65536, false, false, 4, t.zero_pattern[2]);
    EXPECT_EQ(row_of(t, 2), (std::vector<int>{30000 * 65536, 0}));
}

TEST(CombineRows, RefusesAZeroValue) {
    Int_Kestrane t = reaction_tableau(2, true);
    EXPECT_THROW(Combine::combine_rows(0, 2, t, 0, -1, false, false, 2, t.zero_pattern[1]),
                 std::invalid_argument);
}

struct Normalize_Case {
    std::vector<int> row;
    std::vector<int> expected;
};

TEST(NormalizeRow, DividesByTheCommonFactorWithoutChangingSign) {
    const Normalize_Case cases[] = {
        {{0, 4, -6, 0}, {0, 2, -3, 0}},   {{0, 0, 0}, {0, 0, 0}},   {{-3, 6}, {-1, 2}},
        {{0, 0, 7}, {0, 0, 1}},           {{3, 5, 10}, {3, 5, 10}}, {{-2147483647, 0}, {-1, 0}},
        {{6, -9, 12, 15}, {2, -3, 4, 5}},
    };
    for (const auto& c : cases) {
        const int columns = static_cast<int>(c.row.size());
        Int_Kestrane t = reaction_tableau(columns, true);
        write_row(t, 0, c.row);
        Combine::normalize_row(0, t);
        EXPECT_EQ(row_of(t, 0), c.expected);
    }
}

TEST(NormalizeRow, WorksOnTheRowAtTheGivenPositionOnly) {
    Int_Kestrane t = reaction_tableau(2, true);
    write_row(t, 0, {4, 8});
    write_row(t, 1, {6, -9});
    Combine::normalize_row(2, t);
    EXPECT_EQ(row_of(t, 0), (std::vector<int>{4, 8}));
    EXPECT_EQ(row_of(t, 1), (std::vector<int>{2, -3}));
}

}  // namespace
