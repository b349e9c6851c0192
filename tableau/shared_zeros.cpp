#include "tableau/shared_zeros.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Zero columns that the patterns a and b (`Words` words each, or `words` when Words is 0) have in
// common.
template <unsigned Words>
inline unsigned zeros_in_union(const unsigned* a, const unsigned* b, unsigned words) {
    const unsigned width = Words != 0 ? Words : words;
    unsigned ones = 0;
    for (unsigned w = 0; w < width; ++w)
        ones += static_cast<unsigned>(__builtin_popcount(a[w] | b[w]));
    return 32 * width - ones;
}

template <unsigned Words>
inline std::size_t sharing_zeros(const unsigned* pa, const unsigned* patterns, std::size_t count,
                                 unsigned words, unsigned wanted, unsigned* positions,
                                 unsigned* zeros) {
    const unsigned width = Words != 0 ? Words : words;
    std::size_t found = 0;
    for (std::size_t p = 0; p < count; ++p, patterns += width) {
        const unsigned z = zeros_in_union<Words>(pa, patterns, words);
        positions[found] = static_cast<unsigned>(p);
        zeros[found] = z;
        found += z >= wanted ? 1 : 0;
    }
    return found;
}

#if defined(__x86_64__)

// rows_sharing_zeros for patterns of two words, eight at a time: each pattern is one 64-bit lane.
// The positions and counts of the lanes that share enough zeros are packed to the front of a
// register and stored whole; the lanes beyond them are overwritten by the next block's, and
// stay within the count entries, since a block is stored at no more than its own position.
__attribute__((target("avx512f,avx512vl,avx512vpopcntdq"))) std::size_t two_word_sharing_zeros(
    const unsigned* pa, const unsigned* patterns, std::size_t count, unsigned wanted,
    unsigned* positions, unsigned* zeros) {
    std::uint64_t a;
    std::memcpy(&a, pa, sizeof a);
    const __m512i row = _mm512_set1_epi64(static_cast<long long>(a));
    const __m512i columns = _mm512_set1_epi64(64);
    const __m512i least = _mm512_set1_epi64(wanted);
    __m256i position = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i block = _mm256_set1_epi32(8);
    std::size_t found = 0;
    std::size_t p = 0;
    for (; p + 8 <= count; p += 8) {
        const __m512i other = _mm512_loadu_si512(patterns + 2 * p);
        const __m512i common =
            _mm512_sub_epi64(columns, _mm512_popcnt_epi64(_mm512_or_si512(row, other)));
        const __mmask8 enough = _mm512_cmpge_epu64_mask(common, least);
        if (enough != 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(positions + found),
                                _mm256_maskz_compress_epi32(enough, position));
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(zeros + found),
                _mm256_maskz_compress_epi32(enough, _mm512_maskz_cvtepi64_epi32(0xFF, common)));
            found += static_cast<std::size_t>(__builtin_popcount(enough));
        }
        position = _mm256_add_epi32(position, block);
    }
    for (; p < count; ++p) {
        const unsigned z = zeros_in_union<2>(pa, patterns + 2 * p, 2);
        positions[found] = static_cast<unsigned>(p);
        zeros[found] = z;
        found += z >= wanted ? 1 : 0;
    }
    return found;
}

// Whether this processor has the 512-bit population count, asked once.
bool has_wide_popcount() {
    static const bool has = __builtin_cpu_supports("avx512f") &&
                            __builtin_cpu_supports("avx512vl") &&
                            __builtin_cpu_supports("avx512vpopcntdq");
    return has;
}

#endif

}  // namespace

// Built twice, with and without the processor's population count, the one to use chosen when
// the program starts.
__attribute__((target_clones("popcnt", "default"))) std::size_t rows_sharing_zeros_one_by_one(
    const unsigned* pa, const unsigned* patterns, std::size_t count, unsigned words,
    unsigned wanted, unsigned* positions, unsigned* zeros) {
    switch (words) {
        case 1:
            return sharing_zeros<1>(pa, patterns, count, words, wanted, positions, zeros);
        case 2:
            return sharing_zeros<2>(pa, patterns, count, words, wanted, positions, zeros);
        case 3:
            return sharing_zeros<3>(pa, patterns, count, words, wanted, positions, zeros);
        case 4:
            return sharing_zeros<4>(pa, patterns, count, words, wanted, positions, zeros);
        default:
            return sharing_zeros<0>(pa, patterns, count, words, wanted, positions, zeros);
    }
}

std::size_t rows_sharing_zeros(const unsigned* pa, const unsigned* patterns, std::size_t count,
                               unsigned words, unsigned wanted, unsigned* positions,
                               unsigned* zeros) {
#if defined(__x86_64__)
    if (words == 2 && has_wide_popcount()) {
        return two_word_sharing_zeros(pa, patterns, count, wanted, positions, zeros);
    }
#endif
    return rows_sharing_zeros_one_by_one(pa, patterns, count, words, wanted, positions, zeros);
}
