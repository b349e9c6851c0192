#include "tableau/bit_pattern.h"

Bit_Pattern::Bit_Pattern(int bits, unsigned rows)
    : words_per_row(static_cast<unsigned>(bits / 32 + (bits % 32 != 0 ? 1 : 0))),
      bits_in_last_word(bits % 32 != 0 ? bits % 32 : 32) {
    patterns.assign(std::size_t(rows) * words_per_row, 0u);
}

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

unsigned Bit_Pattern::count_common_zeros(unsigned a, unsigned b, const unsigned* mask) const {
    return common_zeros(pattern(a), pattern(b), mask, words_per_row);
}

void Bit_Pattern::unite(unsigned a, unsigned b, unsigned* out) const {
    const unsigned* pa = pattern(a);
    const unsigned* pb = pattern(b);
    for (unsigned w = 0; w < words_per_row; ++w) out[w] = pa[w] | pb[w];
}

bool Bit_Pattern_Less::operator()(unsigned a, unsigned b) const {
    return pattern_words_less(bits_.pattern(a), bits_.pattern(b), bits_.words_per_row);
}

template void Bit_Pattern::set_pattern(unsigned, std::vector<int>::iterator);
template void Bit_Pattern::set_pattern(unsigned, std::vector<int>::const_iterator);
