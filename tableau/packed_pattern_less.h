#pragma once

#include <cstddef>
#include <cstdint>

#include "tableau/candidates.h"

// Orders packed candidates by their union patterns, as Candidate_Packing::pattern_part does, and
// finds for the partitions of the sort the places where a scan over a block of candidates stops:
// with the processor's 512-bit instructions eight candidates at a time, one at a time otherwise.
// The places found are those of one comparison after another, so the sort's order is the same.
class Packed_Pattern_Less {
   public:
    explicit Packed_Pattern_Less(const Candidate_Packing& packing) : packing_(packing) {}

    bool operator()(const Packed_Candidate& a, const Packed_Candidate& b) const {
        return packing_.pattern_part(a) < packing_.pattern_part(b);
    }

    // Writes to `found`, in order, the positions position + i (0 <= i < n) of the candidates
    // first[i] that are not less than `pivot`; returns how many. `found` has room for n.
    std::ptrdiff_t find_not_less(const Packed_Candidate* first, std::ptrdiff_t n,
                                 const Packed_Candidate& pivot, std::ptrdiff_t position,
                                 std::ptrdiff_t* found) const;

    // Writes to `found`, in order, the positions position - i (1 <= i <= n) of the candidates
    // end[-i] that `pivot` is not less than; returns how many. `found` has room for n.
    std::ptrdiff_t find_not_greater_backward(const Packed_Candidate* end, std::ptrdiff_t n,
                                             const Packed_Candidate& pivot, std::ptrdiff_t position,
                                             std::ptrdiff_t* found) const;

    // Sorts the n candidates from `first` on as an insertion sort does: equal ones stay in their
    // order. Meant for the short parts the sort's partitions leave (at most 16).
    void sort_few(Packed_Candidate* first, std::ptrdiff_t n) const;

   private:
    // The head's bits that hold the pattern part.
    std::uint64_t pattern_bits() const;

    // find_not_less, or find_not_greater_backward from `start` as the end when `backward`.
    template <bool backward>
    std::ptrdiff_t scan(const Packed_Candidate* start, std::ptrdiff_t n,
                        const Packed_Candidate& pivot, std::ptrdiff_t position,
                        std::ptrdiff_t* found) const;

    const Candidate_Packing& packing_;
};
