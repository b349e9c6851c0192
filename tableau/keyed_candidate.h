#pragma once

#include <cstdint>

#include "tableau/bit_pattern.h"

// Candidate pairs of rows of the elementary-mode iteration and the order they are tested in.

// A candidate pair of rows.
struct combination {
    unsigned row1;
    unsigned row2;
};

// A candidate as sorted and de-duplicated: the first two words of its union pattern are packed
// into `head` (word 0 in the high half, an absent word 1 as 0), so that the sort settles most
// comparisons inside the array it moves, whose entries stay 16 bytes. Words 2 onward are united
// from the rows' patterns when a comparison needs them.
struct Keyed_Candidate {
    std::uint64_t head;
    combination pair;
};

// Number of pattern words a Keyed_Candidate holds in its head.
constexpr unsigned keyed_head_words = 2;

// Word w of the union pattern of the candidate's rows.
inline unsigned union_word(const Bit_Pattern& bits, const Keyed_Candidate& c, unsigned w) {
    return bits.pattern(c.pair.row1)[w] | bits.pattern(c.pair.row2)[w];
}

// Keyed candidate of `pair`, its union pattern taken from the rows' patterns in `bits`.
inline Keyed_Candidate keyed_candidate(combination pair, const Bit_Pattern& bits) {
    Keyed_Candidate keyed{0, pair};
    for (unsigned w = 0; w < bits.words_per_row && w < keyed_head_words; ++w) {
        keyed.head |= std::uint64_t(union_word(bits, keyed, w)) << (w == 0 ? 32 : 0);
    }
    return keyed;
}

// Orders keyed candidates by their union patterns in `bits`, word by word as unsigned numbers.
class Pattern_Less {
   public:
    explicit Pattern_Less(const Bit_Pattern& bits) : bits_(bits) {}
    bool operator()(const Keyed_Candidate& a, const Keyed_Candidate& b) const {
        if (a.head != b.head) return a.head < b.head;
        for (unsigned w = keyed_head_words; w < bits_.words_per_row; ++w) {
            const unsigned x = union_word(bits_, a, w);
            const unsigned y = union_word(bits_, b, w);
            if (x != y) return x < y;
        }
        return false;
    }

   private:
    const Bit_Pattern& bits_;
};

// True for keyed candidates with equal union patterns in `bits`.
class Pattern_Equal {
   public:
    explicit Pattern_Equal(const Bit_Pattern& bits) : less_(bits) {}
    bool operator()(const Keyed_Candidate& a, const Keyed_Candidate& b) const {
        return !less_(a, b) && !less_(b, a);
    }

   private:
    Pattern_Less less_;
};
