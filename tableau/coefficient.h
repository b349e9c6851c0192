#pragma once

#include <cstdint>
#include <type_traits>

#include "matrix/checked_arithmetic.h"

#ifdef KESTRANE_HAVE_GMP
#include <gmpxx.h>
#endif

// Coefficient types of the tableau. A stage starts with 32-bit int coefficients and is computed
// again with the next wider type when a row combination overflows: std::int64_t, Int128 and,
// where the program is built with GMP, the unbounded mpz_class.

using Int128 = __int128;

// The coefficient as the int of a report record; the caller has made sure that it fits.
template <typename T>
int to_int(const T& value) {
    static_assert(std::is_integral_v<T> || std::is_same_v<T, Int128>);
    return static_cast<int>(value);
}

#ifdef KESTRANE_HAVE_GMP

// Unbounded counterparts of the checked helpers: nothing can overflow, so only the magnitude,
// the greatest common divisor and the conversion to a report value are needed.
inline mpz_class magnitude(const mpz_class& value) { return abs(value); }

inline mpz_class common_divisor(const mpz_class& a, const mpz_class& b) {
    mpz_class result;
    mpz_gcd(result.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
    return result;
}

template <>
inline int to_int<mpz_class>(const mpz_class& value) {
    return static_cast<int>(value.get_si());
}

#endif
