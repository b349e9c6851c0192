#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tableau/bit_pattern.h"
#include "tableau/zeros_in_short_table.h"

namespace {

struct Zero_Count_Case {
    unsigned value;
    unsigned zeros;
};

TEST(ZerosPerShort, CountsZeroBitsOfEverySixteenBitValue) {
    const Zero_Count_Case cases[] = {{0, 16},     {1, 15},     {65535, 0},  {0x8000, 15},
                                     {0x00FF, 8}, {0xAAAA, 8}, {0xFFFE, 1}, {0x1234, 11}};
    for (const auto& c : cases) EXPECT_EQ(zeros_per_short[c.value], c.zeros) << c.value;
}

// Patterns of a few rows over `columns` columns, filled from the given coefficients.
Bit_Pattern patterns_of(int columns, const std::vector<std::vector<int> >& rows) {
    Bit_Pattern bits(columns, static_cast<unsigned>(rows.size()));
    for (unsigned r = 0; r < rows.size(); ++r) bits.set_pattern(r, rows[r].cbegin());
    return bits;
}

std::vector<int> row_with_nonzero(int columns, std::vector<int> nonzero) {
    std::vector<int> row(columns, 0);
    for (int k : nonzero) row[k] = -7;
    return row;
}

TEST(BitPattern, ConstructorSizesTheStoreWithZeroWords) {
    Bit_Pattern bits(33, 3);
    EXPECT_EQ(bits.words_per_row, 2u);
    EXPECT_EQ(bits.bits_in_last_word, 1);
    EXPECT_EQ(bits.patterns, std::vector<unsigned>(6, 0u));
    Bit_Pattern full(64, 1);
    EXPECT_EQ(full.words_per_row, 2u);
    EXPECT_EQ(full.bits_in_last_word, 32);
}

TEST(BitPattern, ThirtyTwoColumnsUseEveryBitOfOneWord) {
    Bit_Pattern bits = patterns_of(32, {row_with_nonzero(32, {0, 31}), row_with_nonzero(32, {})});
    ASSERT_EQ(bits.words_per_row, 1u);
    EXPECT_EQ(bits.bits_in_last_word, 32);
    EXPECT_EQ(bits.pattern(0)[0], 0x80000001u);
    EXPECT_EQ(bits.pattern(1)[0], 0u);
}

TEST(BitPattern, ThirtyThreeColumnsSetTheUnusedLowBitsOfTheSecondWord) {
    Bit_Pattern bits = patterns_of(33, {row_with_nonzero(33, {0, 32}), row_with_nonzero(33, {1})});
    ASSERT_EQ(bits.words_per_row, 2u);
    EXPECT_EQ(bits.pattern(0)[0], 0x80000000u);
    EXPECT_EQ(bits.pattern(0)[1], 0xFFFFFFFFu);
    EXPECT_EQ(bits.pattern(1)[0], 0x40000000u);
    EXPECT_EQ(bits.pattern(1)[1], 0x7FFFFFFFu);
}

TEST(BitPattern, SettingAPatternAgainReplacesIt) {
    Bit_Pattern bits(5, 1);
    std::vector<int> row{1, 0, 0, 0, 1};
    bits.set_pattern(0, row.cbegin());
    row = {0, 0, 1, 0, 0};
    bits.set_pattern(0, row.cbegin());
    EXPECT_EQ(bits.pattern(0)[0], 0x20000000u | 0x07FFFFFFu);
}

TEST(BitPattern, AllZeroRowHasOneZeroPerColumnWithItself) {
    for (int columns : {1, 31, 32, 33, 40, 64}) {
        Bit_Pattern bits = patterns_of(columns, {std::vector<int>(columns, 0)});
        const std::vector<unsigned> no_mask(bits.words_per_row, 0u);
        EXPECT_EQ(bits.count_common_zeros(0, 0, no_mask.data()), unsigned(columns)) << columns;
    }
}

TEST(BitPattern, CommonZerosCountOnlyColumnsZeroInBothRowsAndOutsideTheMask) {
    // Columns 0..39: row 0 non-zero in 0 and 35, row 1 non-zero in 1 and 35.
    Bit_Pattern bits =
        patterns_of(40, {row_with_nonzero(40, {0, 35}), row_with_nonzero(40, {1, 35})});
    std::vector<unsigned> mask(2, 0u);
    EXPECT_EQ(bits.count_common_zeros(0, 1, mask.data()), 37u);
    // Masking column 2 and column 39 (both zero in both rows) removes them from the count;
    // masking column 35, where the rows are non-zero, changes nothing.
    mask[0] |= 1u << (31 - 2);
    mask[1] |= 1u << (31 - 7);
    mask[1] |= 1u << (31 - 3);
    EXPECT_EQ(bits.count_common_zeros(0, 1, mask.data()), 35u);
}

TEST(BitPatternLess, OrdersRowsLexicographicallyWithZeroBeforeNonzero) {
    Bit_Pattern bits = patterns_of(
        40, {row_with_nonzero(40, {1, 2}), row_with_nonzero(40, {0}), row_with_nonzero(40, {1, 2}),
             row_with_nonzero(40, {1, 2, 39}), row_with_nonzero(40, {})});
    Bit_Pattern_Less less(bits);
    EXPECT_TRUE(less(0, 1));  // zero in column 0 comes first
    EXPECT_FALSE(less(1, 0));
    EXPECT_TRUE(less(0, 3));  // decided in the second word
    EXPECT_FALSE(less(3, 0));
    EXPECT_TRUE(less(4, 0));  // the all-zero row comes first of all
    // Same structure (different values would not matter): neither orders before the other.
    EXPECT_FALSE(less(0, 2));
    EXPECT_FALSE(less(2, 0));

    std::vector<unsigned> index{0, 1, 2, 3, 4};
    std::sort(index.begin(), index.end(), less);
    EXPECT_EQ(index.front(), 4u);
    EXPECT_EQ(index[3], 3u);
    EXPECT_EQ(index.back(), 1u);
}

}  // namespace
