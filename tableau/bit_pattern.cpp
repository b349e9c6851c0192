#include "tableau/bit_pattern.h"

Bit_Pattern::Bit_Pattern(int bits, unsigned rows)
    : words_per_row(static_cast<unsigned>(bits / 32 + (bits % 32 != 0 ? 1 : 0))),
      bits_in_last_word(bits % 32 != 0 ? bits % 32 : 32) {
    patterns.assign(std::size_t(rows) * words_per_row, 0u);
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
