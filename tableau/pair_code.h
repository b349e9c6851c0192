#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// A candidate pair of rows.
struct combination {
    unsigned row1;
    unsigned row2;
};

static_assert(std::endian::native == std::endian::little,
              "stored pairs are the lowest bytes of their numbers");

// How a list stores its pairs: the row numbers of a pair, row1 above row2, make one number of
// 2 row_bits bits, of which the list keeps the `bytes` lowest bytes. A column step pairs only
// rows it had when it began, so that their numbers fit the code made for its slots.
class Pair_Code {
   public:
    // Rows of 32 bits in 8 bytes: every pair fits.
    Pair_Code() = default;
    // The code for rows below `slots`: as few bytes as hold both numbers, at least 4.
    static Pair_Code for_slots(std::size_t slots);

    unsigned bytes() const { return bytes_; }
    bool operator==(const Pair_Code&) const = default;
    std::uint64_t encode(combination pair) const {
        return (std::uint64_t(pair.row1) << row_bits_) | pair.row2;
    }
    combination decode(std::uint64_t number) const {
        return combination{static_cast<unsigned>(number >> row_bits_),
                           static_cast<unsigned>(number & row_mask_)};
    }

   private:
    unsigned row_bits_ = 32;
    unsigned bytes_ = 8;
    std::uint64_t row_mask_ = 0xffffffffu;
};

namespace pair_code_detail {

// The number in the W bytes at `at`. Put together from loads of 4, 2 and 1 bytes in registers: a
// copy of W bytes into a wider number goes through memory, and its wide load waits for the narrow
// stores before it.
template <unsigned W>
std::uint64_t load(const unsigned char* at) {
    static_assert(W >= 4 && W <= 8);
    if constexpr (W == 8) {
        std::uint64_t n;
        std::memcpy(&n, at, 8);
        return n;
    } else {
        std::uint32_t low;
        std::memcpy(&low, at, 4);
        std::uint64_t n = low;
        if constexpr (W >= 6) {
            std::uint16_t middle;
            std::memcpy(&middle, at + 4, 2);
            n |= std::uint64_t(middle) << 32;
        }
        if constexpr (W == 5 || W == 7) n |= std::uint64_t(at[W - 1]) << (8 * (W - 1));
        return n;
    }
}

// Stores the lowest W bytes of `n` at `at`.
template <unsigned W>
void store(unsigned char* at, std::uint64_t n) {
    std::memcpy(at, &n, W);
}

}  // namespace pair_code_detail

// A pair as a list of pairs of W bytes stores it: the lowest W bytes of its code's number.
template <unsigned W>
struct Stored_Pair {
    unsigned char bytes[W];

    std::uint64_t number() const { return pair_code_detail::load<W>(bytes); }
    static Stored_Pair of(std::uint64_t number) {
        Stored_Pair stored;
        pair_code_detail::store<W>(stored.bytes, number);
        return stored;
    }
};

// Calls f(std::integral_constant<unsigned, W>{}) with the width W = bytes (4 to 8), so that the
// code for each width of stored pairs is made at compile time; returns what f returns.
template <typename F>
decltype(auto) with_pair_width(unsigned bytes, F&& f) {
    switch (bytes) {
        case 4:
            return f(std::integral_constant<unsigned, 4>{});
        case 5:
            return f(std::integral_constant<unsigned, 5>{});
        case 6:
            return f(std::integral_constant<unsigned, 6>{});
        case 7:
            return f(std::integral_constant<unsigned, 7>{});
        default:
            return f(std::integral_constant<unsigned, 8>{});
    }
}
