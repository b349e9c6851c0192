#pragma once

#include <array>

// Number of zero bits of every 16-bit value: entry i is 16 minus the number of one bits of i.
// The bit-pattern tests count common zero columns sixteen columns at a time with it.
extern const std::array<unsigned char, 65536> zeros_per_short;
