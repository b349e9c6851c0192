#include "tableau/packed_pattern_less.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#if defined(__x86_64__)

// The candidate's first two words, as Candidate_Packing::pattern_part reads them.
std::uint64_t head(const Packed_Candidate& candidate) {
    std::uint64_t value;
    std::memcpy(&value, candidate.words, sizeof value);
    return value;
}

// Whether this processor has the 512-bit instructions the wide scans use, asked once.
bool has_wide_scans() {
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}

// The heads of the eight candidates from `first` on, as eight 64-bit lanes: lane j holds the
// head of candidate first[j], or of first[7 - j] when `backward`. A candidate is three 32-bit
// words, its head the first two, so the eight heads lie in the 24 words from `first` on.
template <bool backward>
__attribute__((target("avx512f"))) inline __m512i eight_heads(const Packed_Candidate* first) {
    const __m512i forward_words =
        _mm512_setr_epi32(0, 1, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 21, 22);
    const __m512i backward_words =
        _mm512_setr_epi32(21, 22, 18, 19, 15, 16, 12, 13, 9, 10, 6, 7, 3, 4, 0, 1);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(first);
    const __m512i low = _mm512_loadu_si512(bytes);
    // The last eight words only: the load must not reach past the candidates.
    const __m512i high = _mm512_maskz_loadu_epi32(0x00FF, bytes + 64);
    return _mm512_permutex2var_epi32(low, backward ? backward_words : forward_words, high);
}

// The scans over the first n - n % 8 candidates, eight at a time, for a pivot with head `pivot`
// and a pattern part of the head's bits `pattern_bits`; returns how many stop. The stopping
// lanes' positions are packed to the front of a register and stored whole; the lanes beyond them
// are overwritten by the next eight's, and stay within the n entries, since eight are stored at
// no more than their own first place.
template <bool backward>
__attribute__((target("avx512f"))) std::ptrdiff_t wide_scan(const Packed_Candidate* start,
                                                            std::ptrdiff_t n, std::uint64_t pivot,
                                                            std::uint64_t pattern_bits,
                                                            std::ptrdiff_t position,
                                                            std::ptrdiff_t* found) {
    // Heads compare as their pattern parts once the bits below the pattern are cleared.
    const __m512i pattern = _mm512_set1_epi64(static_cast<long long>(pattern_bits));
    const __m512i pivot_lanes = _mm512_set1_epi64(static_cast<long long>(pivot & pattern_bits));
    const __m512i lane = _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 6, 7);
    __m512i positions = backward ? _mm512_sub_epi64(_mm512_set1_epi64(position - 1), lane)
                                 : _mm512_add_epi64(_mm512_set1_epi64(position), lane);
    const __m512i step = _mm512_set1_epi64(backward ? -8 : 8);
    std::ptrdiff_t count = 0;
    std::ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const Packed_Candidate* eight = backward ? start - i - 8 : start + i;
        const __m512i keys = _mm512_and_si512(eight_heads<backward>(eight), pattern);
        const __mmask8 stop = backward ? _mm512_cmple_epu64_mask(keys, pivot_lanes)
                                       : _mm512_cmpge_epu64_mask(keys, pivot_lanes);
        _mm512_storeu_si512(found + count, _mm512_maskz_compress_epi64(stop, positions));
        count += __builtin_popcount(stop);
        positions = _mm512_add_epi64(positions, step);
    }
    return count;
}

#endif

}  // namespace

std::ptrdiff_t Packed_Pattern_Less::find_not_less(const Packed_Candidate* first, std::ptrdiff_t n,
                                                  const Packed_Candidate& pivot,
                                                  std::ptrdiff_t position,
                                                  std::ptrdiff_t* found) const {
    std::ptrdiff_t count = 0;
    std::ptrdiff_t i = 0;
#if defined(__x86_64__)
    if (has_wide_scans()) {
        count = wide_scan<false>(first, n, head(pivot), ~std::uint64_t(0) << packing_.spare_bits(),
                                 position, found);
        i = n - n % 8;
    }
#endif
    for (; i < n; ++i) {
        found[count] = position + i;
        count += (*this)(first[i], pivot) ? 0 : 1;
    }
    return count;
}

std::ptrdiff_t Packed_Pattern_Less::find_not_greater_backward(const Packed_Candidate* end,
                                                              std::ptrdiff_t n,
                                                              const Packed_Candidate& pivot,
                                                              std::ptrdiff_t position,
                                                              std::ptrdiff_t* found) const {
    std::ptrdiff_t count = 0;
    std::ptrdiff_t i = 0;
#if defined(__x86_64__)
    if (has_wide_scans()) {
        count = wide_scan<true>(end, n, head(pivot), ~std::uint64_t(0) << packing_.spare_bits(),
                                position, found);
        i = n - n % 8;
    }
#endif
    for (; i < n; ++i) {
        found[count] = position - 1 - i;
        count += (*this)(pivot, end[-1 - i]) ? 0 : 1;
    }
    return count;
}
