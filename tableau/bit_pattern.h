#pragma once

#include <cstddef>
#include <type_traits>
#include <vector>

#include "tableau/zeros_in_short_table.h"

// Zero/non-zero structure of the reaction part of every tableau row slot, one fixed-width bit
// set per slot in one contiguous store. Column k lies in word k / 32 at bit 31 - k % 32 (the first
// column of a word is its most significant bit); a bit is 1 where the coefficient is non-zero.
// The low bits of the last word that stand for no column are kept at 1.
class Bit_Pattern {
   public:
    std::vector<unsigned> patterns;  // row r occupies words r * words_per_row onward
    unsigned words_per_row;          // bits / 32 rounded up
    int bits_in_last_word;           // bits % 32, or 32 when that is 0

    // Patterns of `bits` columns for `rows` slots, every word 0.
    Bit_Pattern(int bits, unsigned rows);

    // Fills the pattern of `row` from the `bits` consecutive coefficients starting at
    // `position` (the row's first reaction coefficient).
    template <typename Iterator>
    void set_pattern(unsigned row, Iterator position);

    // Number of columns whose bit is 0 in pattern a, in pattern b and in the mask (words_per_row
    // words in pattern layout; a mask bit of 1 keeps that column out of the count).
    unsigned count_common_zeros(unsigned a, unsigned b, const unsigned* mask) const;

    // Writes the union (word by word or) of the patterns of rows a and b into `out`, which has
    // words_per_row words: the support of a combination of the two rows, at most.
    void unite(unsigned a, unsigned b, unsigned* out) const;

    // First word of the pattern of `row`.
    unsigned* pattern(unsigned row) { return patterns.data() + std::size_t(row) * words_per_row; }
    const unsigned* pattern(unsigned row) const {
        return patterns.data() + std::size_t(row) * words_per_row;
    }
};

template <typename Iterator>
void Bit_Pattern::set_pattern(unsigned row, Iterator position) {
    unsigned* word = pattern(row);
    for (unsigned w = 0; w < words_per_row; ++w) {
        const bool last = (w + 1 == words_per_row);
        const int columns = last ? bits_in_last_word : 32;
        unsigned value = 0xFFFFFFFFu;
        for (int k = 0; k < columns; ++k, ++position) {
            value = (value << 1) | (*position != 0 ? 1u : 0u);
        }
        // Push the column bits to the top of the last word; the bits that stand for no column
        // come in as ones so that they never count as zeros.
        for (int k = columns; k < 32; ++k) value = (value << 1) | 1u;
        word[w] = value;
    }
}

// True when the pattern `a` orders before `b` (both `words` words long): at the first word where
// they differ, a's word is the smaller unsigned number; equal patterns give false.
// Inline: it is the comparison of every candidate sort.
inline bool pattern_words_less(const unsigned* a, const unsigned* b, unsigned words) {
    for (unsigned w = 0; w < words; ++w) {
        if (a[w] != b[w]) return a[w] < b[w];
    }
    return false;
}

// True when the bit of `column` is 1 in `pattern`.
inline bool column_set(const unsigned* pattern, unsigned column) {
    return (pattern[column / 32] >> (31 - column % 32) & 1u) != 0;
}

// Number of columns whose bit is 0 in `a`, in `b` and in `mask` (all `words` words long).
// Inline: it is the count of every candidate pair, unrolled where `words` is a constant.
inline unsigned common_zeros(const unsigned* a, const unsigned* b, const unsigned* mask,
                             unsigned words) {
    unsigned zeros = 0;
    for (unsigned w = 0; w < words; ++w) {
        const unsigned x = a[w] | b[w] | mask[w];
        zeros += zeros_per_short[x & 0xFFFFu] + zeros_per_short[x >> 16];
    }
    return zeros;
}

// True when every bit set in `inner` is set in `outer` (both `words` words long): the support
// of the one row lies inside the support of the other.
// Inline: it is the innermost test of the conical-independence and superset scans.
inline bool support_inside(const unsigned* inner, const unsigned* outer, unsigned words) {
    for (unsigned w = 0; w < words; ++w) {
        if ((inner[w] & ~outer[w]) != 0) return false;
    }
    return true;
}

// Orders row indices by their patterns, word by word as unsigned numbers: the lexicographic
// order of the zero/non-zero sequences with zero before non-zero. Equal patterns are equivalent.
class Bit_Pattern_Less {
   public:
    explicit Bit_Pattern_Less(const Bit_Pattern& bits) : bits_(bits) {}

    // True when the pattern of row a orders strictly before the pattern of row b.
    bool operator()(unsigned a, unsigned b) const;

   private:
    const Bit_Pattern& bits_;
};

// Calls `scan` with the pattern width as a compile-time constant for patterns of one to four
// words, where the compiler then unrolls the word loops of the innermost tests, and with 0
// (the scan reads the width at run time) for longer patterns.
template <typename Scan>
auto with_fixed_width(unsigned words, Scan&& scan) {
    switch (words) {
        case 1:
            return scan(std::integral_constant<unsigned, 1>{});
        case 2:
            return scan(std::integral_constant<unsigned, 2>{});
        case 3:
            return scan(std::integral_constant<unsigned, 3>{});
        case 4:
            return scan(std::integral_constant<unsigned, 4>{});
        default:
            return scan(std::integral_constant<unsigned, 0>{});
    }
}
