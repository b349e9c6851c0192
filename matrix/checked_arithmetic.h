#pragma once

#include <cstdint>

// Exact integer arithmetic shared by the toolkit, the tableau and the block diagonalisation:
// magnitudes, greatest common divisors, and sums and products that say when their exact result
// leaves the range of their type instead of wrapping around. The range of every type is kept
// symmetric, [-max, max]: its most negative value counts as out of range, so that every value in
// range can be negated and its magnitude taken.

// The largest value of a signed integer type of the tableau: int, std::int64_t or __int128.
template <typename T>
constexpr T largest_value() {
    // Every bit but the sign bit set, built without shifting into the sign.
    T value = 0;
    for (unsigned bit = 0; bit + 1 < 8 * sizeof(T); ++bit) value = static_cast<T>(value * 2 + 1);
    return value;
}

// True when `value` lies within [-2147483647, 2147483647], the range of a coefficient in the
// report's 32-bit records.
template <typename T>
constexpr bool fits_int32(T value) {
    return value <= T(2147483647) && value >= T(-2147483647);
}

// |value| of a value in the symmetric range of its type.
template <typename T>
constexpr T magnitude(T value) {
    return value < 0 ? -value : value;
}

// Greatest common divisor of |a| and |b| by repeated remainders, with gcd(0, x) = |x| and
// gcd(0, 0) = 0.
template <typename T>
constexpr T common_divisor(T a, T b) {
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0) {
        const T r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// a + b, a - b and a * b into `result`; true when the exact result lies outside the symmetric
// range of T (result is then not to be used).
template <typename T>
bool sum_overflows(T a, T b, T& result) {
    return __builtin_add_overflow(a, b, &result) || result < -largest_value<T>();
}

template <typename T>
bool difference_overflows(T a, T b, T& result) {
    return __builtin_sub_overflow(a, b, &result) || result < -largest_value<T>();
}

template <typename T>
bool product_overflows(T a, T b, T& result) {
    return __builtin_mul_overflow(a, b, &result) || result < -largest_value<T>();
}
