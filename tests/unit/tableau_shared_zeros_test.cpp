#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tableau/shared_zeros.h"

namespace {

// A random pattern over `columns` columns, laid out as the tableau lays them out (column k is bit
// 31 - k % 32 of word k / 32), with the padding bits beyond the columns set. `density` in
// sixteenths is the chance of a non-zero column.
std::vector<unsigned> random_pattern(unsigned columns, unsigned density, std::mt19937& random) {
    const unsigned words = (columns + 31) / 32;
    std::vector<unsigned> pattern(words, 0u);
    for (unsigned k = 0; k < 32 * words; ++k) {
        if (k >= columns || random() % 16 < density) pattern[k / 32] |= 1u << (31 - k % 32);
    }
    return pattern;
}

unsigned common_zeros(const unsigned* a, const unsigned* b, unsigned columns) {
    unsigned zeros = 0;
    for (unsigned k = 0; k < columns; ++k) {
        const unsigned bit = 1u << (31 - k % 32);
        if ((a[k / 32] & bit) == 0 && (b[k / 32] & bit) == 0) ++zeros;
    }
    return zeros;
}

// Both codes give the positions, in order, of the patterns that share at least `wanted` zero
// columns with the row, and those counts, as a column-by-column count does: for one to five
// words, full and partly padded last words, block lengths and the rests after them, and
// thresholds that take none, some or all of the patterns.
TEST(RowsSharingZeros, FindsThePatternsWithEnoughCommonZeros) {
    std::mt19937 random(11);
    for (const unsigned columns : {5u, 32u, 51u, 64u, 90u, 128u, 150u}) {
        const unsigned words = (columns + 31) / 32;
        for (const std::size_t count : {0u, 1u, 7u, 8u, 9u, 16u, 37u, 200u}) {
            for (const unsigned density : {2u, 6u, 12u}) {
                const std::vector<unsigned> row = random_pattern(columns, density, random);
                std::vector<unsigned> patterns;
                for (std::size_t p = 0; p < count; ++p) {
                    const std::vector<unsigned> other = random_pattern(columns, density, random);
                    patterns.insert(patterns.end(), other.begin(), other.end());
                }
                for (const unsigned wanted : {0u, columns / 3, columns / 2, columns + 1}) {
                    SCOPED_TRACE(testing::Message()
                                 << columns << " columns, " << count << " patterns, density "
                                 << density << ", wanted " << wanted);
                    std::vector<unsigned> expected_positions, expected_zeros;
                    for (std::size_t p = 0; p < count; ++p) {
                        const unsigned z = common_zeros(row.data(), &patterns[p * words], columns);
                        if (z < wanted) continue;
                        expected_positions.push_back(static_cast<unsigned>(p));
                        expected_zeros.push_back(z);
                    }
                    for (const auto count_zeros :
                         {rows_sharing_zeros, rows_sharing_zeros_one_by_one}) {
                        std::vector<unsigned> positions(count), zeros(count);
                        const std::size_t found =
                            count_zeros(row.data(), patterns.data(), count, words, wanted,
                                        positions.data(), zeros.data());
                        positions.resize(found);
                        zeros.resize(found);
                        EXPECT_EQ(positions, expected_positions);
                        EXPECT_EQ(zeros, expected_zeros);
                    }
                }
            }
        }
    }
}

}  // namespace
