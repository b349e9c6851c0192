#include "tableau/int_combination.h"

#include <climits>
#include <cstdint>
#include <stdexcept>

#include "tableau/tableau.h"

namespace {

std::int64_t magnitude(std::int64_t value) { return value < 0 ? -value : value; }

// Greatest common divisor of two magnitudes by repeated remainder; gcd(0, x) = x.
std::int64_t euclid(std::int64_t a, std::int64_t b) {
    while (b != 0) {
        const std::int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

}  // namespace

template <typename T>
void Int_Combination<T>::combine_rows(const std::size_t& first, const std::size_t& second, Table& t,
                                      T first_value, T second_value, const bool& first_reversible,
                                      const bool& second_reversible, const std::size_t& target,
                                      Zero_Pattern& summary) {
    if (first_value == 0 || second_value == 0) {
        throw std::invalid_argument("combine_rows: a row to be combined is zero in the column");
    }
    const std::int64_t g = euclid(magnitude(first_value), magnitude(second_value));
    std::int64_t m_first = -std::int64_t(second_value) / g;
    std::int64_t m_second = std::int64_t(first_value) / g;
    // An irreversible row may only be scaled by a positive number.
    if ((!first_reversible && m_first < 0) || (!second_reversible && m_second < 0)) {
        m_first = -m_first;
        m_second = -m_second;
    }

    summary = Zero_Pattern{INT_MAX, -1, INT_MAX, -1, 0};
    const T* a = t.coefficients.data() + first;
    const T* b = t.coefficients.data() + second;
    T* out = t.coefficients.data() + target;
    for (unsigned u = 0; u < t.stride; ++u) {
        // |multiplier| <= 2^31 and |coefficient| <= 2^31, so each product fits 64 bits; the sum
        // is checked all the same.
        std::int64_t s;
        if (__builtin_add_overflow(m_second * std::int64_t(b[u]), m_first * std::int64_t(a[u]),
                                   &s) ||
            s < -2147483647LL || s > 2147483647LL) {
            throw Range_Error();
        }
        out[u] = static_cast<T>(s);
        if (u >= t.reactions) continue;
        const int column = static_cast<int>(u);
        if (s == 0) {
            ++summary.zeros;
            if (column < summary.first_zero) summary.first_zero = column;
            if (column > summary.last_zero) summary.last_zero = column;
        } else {
            if (column < summary.first_nonzero) summary.first_nonzero = column;
            if (column > summary.last_nonzero) summary.last_nonzero = column;
        }
    }
}

template <typename T>
void Int_Combination<T>::normalize_row(const std::size_t& position, Table& t) {
    T* row = t.coefficients.data() + position;
    unsigned u = 0;
    while (u < t.stride && row[u] == 0) ++u;
    if (u == t.stride) return;
    std::int64_t d = magnitude(row[u]);
    for (; u < t.stride && d != 1; ++u) {
        if (row[u] != 0) d = euclid(d, magnitude(row[u]));
    }
    if (d == 1) return;
    for (unsigned k = 0; k < t.stride; ++k) row[k] = static_cast<T>(row[k] / d);
}

template class Int_Combination<int>;
