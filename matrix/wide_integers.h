#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "matrix/checked_arithmetic.h"

#ifdef KESTRANE_HAVE_GMP
#include <gmpxx.h>
#endif

// The widths in which exact values are kept, narrowest first: int (the 32-bit records), 64 and
// 128 bits and, where the program is built with GMP, the unbounded mpz_class. A computation
// starts in the narrowest width its inputs allow and is done again wider when a value leaves
// the range; exact arithmetic makes every width reach the same values.

using Int128 = __int128;

// Tag that hands a width to a computation.
template <typename T>
struct Coefficient_Width {
    using type = T;
};

// Every width of this build as the alternatives of a variant, narrowest first; the position of
// a width in it is the width's index.
#ifdef KESTRANE_HAVE_GMP
using Any_Width = std::variant<Coefficient_Width<int>, Coefficient_Width<std::int64_t>,
                               Coefficient_Width<Int128>, Coefficient_Width<mpz_class> >;
#define KESTRANE_FOR_EACH_WIDTH(X) X(int) X(std::int64_t) X(Int128) X(mpz_class)
#else
using Any_Width = std::variant<Coefficient_Width<int>, Coefficient_Width<std::int64_t>,
                               Coefficient_Width<Int128> >;
#define KESTRANE_FOR_EACH_WIDTH(X) X(int) X(std::int64_t) X(Int128)
#endif

constexpr std::size_t width_count = std::variant_size_v<Any_Width>;

// F<T> for every width T, as the alternatives of a variant in the order of the widths.
template <template <typename> class F, typename Widths = Any_Width>
struct Per_Width;
template <template <typename> class F, typename... T>
struct Per_Width<F, std::variant<Coefficient_Width<T>...> > {
    using type = std::variant<F<T>...>;
};

// The index of width T.
template <typename T>
constexpr std::size_t width_index = Any_Width(Coefficient_Width<T>{}).index();

// The tag of the width with the given index (below width_count).
Any_Width width_at(std::size_t index);

// "32-bit", "64-bit", "128-bit" or "unbounded": the width as the console names it.
const char* width_name(std::size_t index);

template <typename T>
constexpr bool is_bounded = std::is_integral_v<T> || std::is_same_v<T, Int128>;

#ifdef KESTRANE_HAVE_GMP

// Unbounded counterparts of the checked helpers: nothing can overflow, so every check answers
// false and the result is exact.
inline mpz_class magnitude(const mpz_class& value) { return abs(value); }

inline mpz_class common_divisor(const mpz_class& a, const mpz_class& b) {
    mpz_class result;
    mpz_gcd(result.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
    return result;
}

inline bool sum_overflows(const mpz_class& a, const mpz_class& b, mpz_class& result) {
    result = a + b;
    return false;
}

inline bool difference_overflows(const mpz_class& a, const mpz_class& b, mpz_class& result) {
    result = a - b;
    return false;
}

inline bool product_overflows(const mpz_class& a, const mpz_class& b, mpz_class& result) {
    result = a * b;
    return false;
}

mpz_class to_mpz(Int128 value);
Int128 to_int128(const mpz_class& value);

#endif

// True when `value` lies in the symmetric range of width T, [-max, max].
template <typename T, typename U>
bool fits(const U& value) {
    if constexpr (!is_bounded<T>) {
        return true;
    } else if constexpr (is_bounded<U>) {
        using Wider = std::conditional_t<(sizeof(U) > sizeof(T)), U, T>;
        return Wider(value) <= Wider(largest_value<T>()) &&
               Wider(value) >= -Wider(largest_value<T>());
    } else {
#ifdef KESTRANE_HAVE_GMP
        // |value| < 2^(bits - 1): at most bits - 1 binary digits.
        return mpz_sizeinbase(value.get_mpz_t(), 2) < 8 * sizeof(T);
#endif
    }
}

// `value` as width T; the caller has made sure that it fits (fits<T>).
template <typename T, typename U>
T converted(const U& value) {
    if constexpr (std::is_same_v<T, U>) {
        return value;
    } else if constexpr (is_bounded<T> && is_bounded<U>) {
        return static_cast<T>(value);
    } else {
#ifdef KESTRANE_HAVE_GMP
        if constexpr (std::is_same_v<T, mpz_class>) {
            if constexpr (std::is_same_v<U, Int128>) {
                return to_mpz(value);
            } else {
                return mpz_class(static_cast<long>(value));
            }
        } else if constexpr (std::is_same_v<T, Int128>) {
            return to_int128(value);
        } else {
            return static_cast<T>(value.get_si());
        }
#endif
    }
}

// The index of the narrowest width that holds `value`.
template <typename T>
std::size_t width_needed(const T& value) {
    if (fits<int>(value)) return width_index<int>;
    if (fits<std::int64_t>(value)) return width_index<std::int64_t>;
    if (fits<Int128>(value)) return width_index<Int128>;
    return width_count - 1;
}

// Appends the decimal digits of `value`, with a minus sign in front when it is negative: the text
// of "%d" for a value that fits an int.
void append_decimal(std::string& text, int value);
void append_decimal(std::string& text, std::int64_t value);
void append_decimal(std::string& text, Int128 value);
#ifdef KESTRANE_HAVE_GMP
void append_decimal(std::string& text, const mpz_class& value);
#endif

// The decimal digits of `value` as append_decimal writes them.
template <typename T>
std::string decimal(const T& value) {
    std::string text;
    append_decimal(text, value);
    return text;
}

// Appends the decimal digits of |value|, also of the most negative value of a bounded width,
// whose magnitude that width cannot hold.
template <typename T>
void append_magnitude(std::string& text, const T& value) {
    const std::size_t start = text.size();
    append_decimal(text, value);
    if (text[start] == '-') text.erase(start, 1);
}
