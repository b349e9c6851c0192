#include "tableau/packed_pattern_less.h"

#include <cstring>

#include "tableau/parallel_sort.h"

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

// The pattern parts of the n <= 16 candidates from `first` on, in keys[0, n), the bits below
// the pattern cleared as in wide_scan.
__attribute__((target("avx512f"))) void few_keys(const Packed_Candidate* first, unsigned n,
                                                 std::uint64_t pattern_bits, __m512i& low_keys,
                                                 __m512i& high_keys) {
    // The 3 n words of the candidates, in three registers of 16 words, none read past the last.
    const unsigned words = 3 * n;
    const auto mask = [words](unsigned from) -> __mmask16 {
        if (words <= from) return 0;
        return words - from >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << (words - from)) - 1);
    };
    const unsigned* w = first->words;
    const __m512i a = _mm512_maskz_loadu_epi32(mask(0), w);
    const __m512i b = _mm512_maskz_loadu_epi32(mask(16), w + 16);
    const __m512i c = _mm512_maskz_loadu_epi32(mask(32), w + 32);
    const __m512i first_eight =
        _mm512_setr_epi32(0, 1, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 21, 22);
    const __m512i last_eight =
        _mm512_setr_epi32(8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 23, 24, 26, 27, 29, 30);
    const __m512i pattern = _mm512_set1_epi64(static_cast<long long>(pattern_bits));
    low_keys = _mm512_and_si512(_mm512_permutex2var_epi32(a, first_eight, b), pattern);
    high_keys = _mm512_and_si512(_mm512_permutex2var_epi32(b, last_eight, c), pattern);
}

// Sorts the n <= 16 candidates from `first` on as the insertion sort would, equal ones kept in
// their order: candidate i goes to the place of the candidates less than it and of the equal
// ones before it, all counted at once.
__attribute__((target("avx512f"))) void wide_sort_few(Packed_Candidate* first, unsigned n,
                                                      std::uint64_t pattern_bits) {
    __m512i low_keys, high_keys;
    few_keys(first, n, pattern_bits, low_keys, high_keys);
    std::uint64_t keys[16];
    _mm512_storeu_si512(keys, low_keys);
    _mm512_storeu_si512(keys + 8, high_keys);
    const __mmask16 present = static_cast<__mmask16>((1u << n) - 1);
    Packed_Candidate sorted[16];
    for (unsigned i = 0; i < n; ++i) {
        const __m512i key = _mm512_set1_epi64(static_cast<long long>(keys[i]));
        const unsigned less = _mm512_cmplt_epu64_mask(low_keys, key) |
                              unsigned(_mm512_cmplt_epu64_mask(high_keys, key)) << 8;
        const unsigned equal = _mm512_cmpeq_epu64_mask(low_keys, key) |
                               unsigned(_mm512_cmpeq_epu64_mask(high_keys, key)) << 8;
        const unsigned before = (less | (equal & ((1u << i) - 1))) & present;
        sorted[__builtin_popcount(before)] = first[i];
    }
    std::memcpy(first, sorted, n * sizeof(Packed_Candidate));
}

#endif

}  // namespace

void Packed_Pattern_Less::sort_few(Packed_Candidate* first, std::ptrdiff_t n) const {
#if defined(__x86_64__)
    if (has_wide_scans() && n <= 16) {
        wide_sort_few(first, static_cast<unsigned>(n), pattern_bits());
        return;
    }
#endif
    parallel_sort_detail::insertion_sort(first, first + n, *this);
}

std::uint64_t Packed_Pattern_Less::pattern_bits() const {
    return ~std::uint64_t(0) << packing_.spare_bits();
}

template <bool backward>
std::ptrdiff_t Packed_Pattern_Less::scan(const Packed_Candidate* start, std::ptrdiff_t n,
                                         const Packed_Candidate& pivot, std::ptrdiff_t position,
                                         std::ptrdiff_t* found) const {
    std::ptrdiff_t count = 0;
    std::ptrdiff_t i = 0;
#if defined(__x86_64__)
    if (has_wide_scans()) {
        count = wide_scan<backward>(start, n, head(pivot), pattern_bits(), position, found);
        i = n - n % 8;
    }
#endif
    for (; i < n; ++i) {
        if constexpr (backward) {
            found[count] = position - 1 - i;
            count += (*this)(pivot, start[-1 - i]) ? 0 : 1;
        } else {
            found[count] = position + i;
            count += (*this)(start[i], pivot) ? 0 : 1;
        }
    }
    return count;
}

std::ptrdiff_t Packed_Pattern_Less::find_not_less(const Packed_Candidate* first, std::ptrdiff_t n,
                                                  const Packed_Candidate& pivot,
                                                  std::ptrdiff_t position,
                                                  std::ptrdiff_t* found) const {
    return scan<false>(first, n, pivot, position, found);
}

std::ptrdiff_t Packed_Pattern_Less::find_not_greater_backward(const Packed_Candidate* end,
                                                              std::ptrdiff_t n,
                                                              const Packed_Candidate& pivot,
                                                              std::ptrdiff_t position,
                                                              std::ptrdiff_t* found) const {
    return scan<true>(end, n, pivot, position, found);
}
