#include "tableau/candidate_set.h"

#include <utility>

namespace {

// A hash of the candidate's whole union pattern.
std::uint64_t pattern_hash(const Keyed_Candidate& c, const Bit_Pattern& bits) {
    std::uint64_t h = c.head * 0x9E3779B97F4A7C15ull;
    for (unsigned w = keyed_head_words; w < bits.words_per_row; ++w) {
        h = (h ^ (h >> 29) ^ union_word(bits, c, w)) * 0xBF58476D1CE4E5B9ull;
    }
    return h ^ (h >> 32);
}

bool smaller_pair(const combination& a, const combination& b) {
    return std::make_pair(a.row1, a.row2) < std::make_pair(b.row1, b.row2);
}

}  // namespace

void Candidate_Set::add(combination pair, const Bit_Pattern& bits, std::int64_t& duplicates) {
    add_keyed(keyed_candidate(pair, bits), bits, duplicates);
}

void Candidate_Set::take(Candidate_Set& other, const Bit_Pattern& bits, std::int64_t& duplicates) {
    for (const Keyed_Candidate& candidate : other.entries_) add_keyed(candidate, bits, duplicates);
    other.clear();
}

void Candidate_Set::clear() {
    entries_.clear();
    std::fill(slots_.begin(), slots_.end(), empty_slot);
}

void Candidate_Set::add_keyed(const Keyed_Candidate& candidate, const Bit_Pattern& bits,
                              std::int64_t& duplicates) {
    if (2 * (entries_.size() + 1) > slots_.size()) grow(bits);
    const Pattern_Equal equal(bits);
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = pattern_hash(candidate, bits) & mask;
    while (slots_[slot] != empty_slot) {
        Keyed_Candidate& held = entries_[slots_[slot]];
        if (equal(held, candidate)) {
            if (smaller_pair(candidate.pair, held.pair)) held.pair = candidate.pair;
            ++duplicates;
            return;
        }
        slot = (slot + 1) & mask;
    }
    slots_[slot] = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(candidate);
}

void Candidate_Set::grow(const Bit_Pattern& bits) {
    std::size_t size = slots_.empty() ? 64 : 2 * slots_.size();
    slots_.assign(size, empty_slot);
    const std::size_t mask = size - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t slot = pattern_hash(entries_[i], bits) & mask;
        while (slots_[slot] != empty_slot) slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(i);
    }
}
