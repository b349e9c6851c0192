#pragma once

#include <cstdint>
#include <vector>

#include "tableau/bit_pattern.h"
#include "tableau/keyed_candidate.h"

// The candidates of one common-zero count of a column step, one per union pattern. Pairs with the
// same union support would give the same row, so a pair whose pattern is already held only
// replaces the held pair when it is the smaller pair of rows (the set then holds the same
// candidates whatever order the pairs come in) and counts as a duplicate. The patterns are found
// through a hash table, so that only distinct candidates are kept and later sorted.
class Candidate_Set {
   public:
    // Adds the pair, its union pattern taken from `bits`; a duplicate adds one to `duplicates`.
    void add(combination pair, const Bit_Pattern& bits, std::int64_t& duplicates);

    // Adds every candidate of `other` (of the same patterns) and empties it.
    void take(Candidate_Set& other, const Bit_Pattern& bits, std::int64_t& duplicates);

    // The distinct candidates, in the order they came; the caller may reorder them.
    std::vector<Keyed_Candidate>& entries() { return entries_; }
    const std::vector<Keyed_Candidate>& entries() const { return entries_; }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // Empties the set; its storage is kept for the next column step.
    void clear();

   private:
    void add_keyed(const Keyed_Candidate& candidate, const Bit_Pattern& bits,
                   std::int64_t& duplicates);
    void grow(const Bit_Pattern& bits);

    std::vector<Keyed_Candidate> entries_;
    std::vector<std::uint32_t> slots_;  // open addressing: positions in entries_, or empty_slot
    static constexpr std::uint32_t empty_slot = 0xFFFFFFFFu;
};
