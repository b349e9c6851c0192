#pragma once

#include <cstddef>

// The innermost loop of the candidate generation: which rows share enough zero columns with a
// given row to be paired with it.

// The positions p in [0, count) of `patterns` (`count` patterns of `words` words, one after
// another) that share at least `wanted` zero columns with the pattern `pa`, and that number for
// each, written in ascending order to `positions` and `zeros` (room for count entries each);
// returns how many. The padding bits of the patterns are 1 and count as no zero.
//
// Patterns of two words are counted eight at a time with the processor's 512-bit population
// count where it has one; the others one at a time, with the population-count instruction where
// there is one. Which code runs is decided when the program starts.
std::size_t rows_sharing_zeros(const unsigned* pa, const unsigned* patterns, std::size_t count,
                               unsigned words, unsigned wanted, unsigned* positions,
                               unsigned* zeros);

// rows_sharing_zeros one pattern at a time, whatever the processor has.
std::size_t rows_sharing_zeros_one_by_one(const unsigned* pa, const unsigned* patterns,
                                          std::size_t count, unsigned words, unsigned wanted,
                                          unsigned* positions, unsigned* zeros);
