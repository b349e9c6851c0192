#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tableau/candidates.h"

namespace {

// A packed candidate gives its pair back, and packed candidates compare as the heads of their
// keyed candidates: for one and two pattern words, up to 64 columns, and row numbers up to the
// most that fit. The rows with patterns are the lowest and the highest slots.
TEST(CandidatePacking, KeepsThePairAndTheOrderOfTheUnionPatterns) {
    struct Case {
        unsigned columns;
        unsigned slots;
    };
    std::mt19937 random(5);
    for (const Case c : {Case{5, 40}, Case{32, 1u << 20}, Case{33, 1000}, Case{51, 1u << 19},
                         Case{51, 1u << 22}, Case{64, 1u << 16}}) {
        SCOPED_TRACE(testing::Message() << c.columns << " columns, " << c.slots << " slots");
        Bit_Pattern bits(static_cast<int>(c.columns), c.slots);
        std::vector<unsigned> rows;
        for (unsigned r = 0; r < 20; ++r) rows.insert(rows.end(), {r, c.slots - 1 - r});
        std::vector<int> row(c.columns);
        for (const unsigned r : rows) {
            for (int& value : row) value = random() % 3 == 0 ? 1 : 0;
            bits.set_pattern(r, row.begin());
        }
        const Candidate_Packing packing(bits, c.columns, c.slots);
        ASSERT_TRUE(packing.fits());
        std::vector<combination> pairs;
        for (unsigned i = 0; i < 400; ++i) {
            pairs.push_back({rows[random() % rows.size()], rows[random() % rows.size()]});
        }
        for (std::size_t i = 0; i + 1 < pairs.size(); ++i) {
            const Packed_Candidate x = packing.pack(pairs[i], bits);
            const Packed_Candidate y = packing.pack(pairs[i + 1], bits);
            const combination back = packing.unpack(x);
            EXPECT_EQ(back.row1, pairs[i].row1);
            EXPECT_EQ(back.row2, pairs[i].row2);
            const std::uint64_t head_x = keyed_candidate(pairs[i], bits).head;
            const std::uint64_t head_y = keyed_candidate(pairs[i + 1], bits).head;
            EXPECT_EQ(packing.pattern_part(x) < packing.pattern_part(y), head_x < head_y);
            EXPECT_EQ(packing.pattern_part(x) == packing.pattern_part(y), head_x == head_y);
        }
    }
}

// Pairs do not fit beside patterns of more than two words, nor row numbers of more bits than
// the head has to spare with the extra word.
TEST(CandidatePacking, RefusesWhatDoesNotFit) {
    EXPECT_FALSE(Candidate_Packing(Bit_Pattern(65, 1), 65, 10).fits());
    EXPECT_FALSE(Candidate_Packing(Bit_Pattern(64, 1), 64, (1u << 16) + 1).fits());
    EXPECT_TRUE(Candidate_Packing(Bit_Pattern(51, 1), 51, 1u << 22).fits());
    EXPECT_FALSE(Candidate_Packing(Bit_Pattern(51, 1), 51, (1u << 22) + 1).fits());
}

}  // namespace
