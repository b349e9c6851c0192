#include "tableau/int_combination.h"

#include <climits>
#include <cstdint>
#include <stdexcept>

#include "matrix/checked_arithmetic.h"
#include "matrix/wide_integers.h"
#include "tableau/tableau.h"

namespace {

// The arithmetic of one coefficient type: the type of the multipliers, and the new coefficient
// second multiplier x b + first multiplier x a, with Range_Error where it leaves the type.
template <typename T>
struct Combination_Arithmetic {
    using Factor = T;
    static void combine(T& out, const T& m_second, const T& b, const T& m_first, const T& a) {
        T x, y;
        if (product_overflows(m_second, b, x) || product_overflows(m_first, a, y) ||
            sum_overflows(x, y, out)) {
            throw Range_Error();
        }
    }
    static void divide_exactly(T& value, const T& divisor) { value /= divisor; }
};

// 32-bit coefficients: multipliers of magnitude at most 2^31 times coefficients of magnitude at
// most 2^31 fit 64 bits, so only the sum needs a check, and then the 32-bit range.
template <>
struct Combination_Arithmetic<int> {
    using Factor = std::int64_t;
    static void combine(int& out, std::int64_t m_second, int b, std::int64_t m_first, int a) {
        std::int64_t s;
        if (__builtin_add_overflow(m_second * std::int64_t(b), m_first * std::int64_t(a), &s) ||
            !fits_int32(s)) {
            throw Range_Error();
        }
        out = static_cast<int>(s);
    }
    static void divide_exactly(int& value, std::int64_t divisor) {
        value = static_cast<int>(value / divisor);
    }
};

#ifdef KESTRANE_HAVE_GMP
template <>
struct Combination_Arithmetic<mpz_class> {
    using Factor = mpz_class;
    static void combine(mpz_class& out, const mpz_class& m_second, const mpz_class& b,
                        const mpz_class& m_first, const mpz_class& a) {
        mpz_mul(out.get_mpz_t(), m_second.get_mpz_t(), b.get_mpz_t());
        mpz_addmul(out.get_mpz_t(), m_first.get_mpz_t(), a.get_mpz_t());
    }
    static void divide_exactly(mpz_class& value, const mpz_class& divisor) {
        mpz_divexact(value.get_mpz_t(), value.get_mpz_t(), divisor.get_mpz_t());
    }
};
#endif

}  // namespace

template <typename T>
void Int_Combination<T>::combine_rows(const std::size_t& first, const std::size_t& second, Table& t,
                                      const T& first_value, const T& second_value,
                                      const bool& first_reversible, const bool& second_reversible,
                                      const std::size_t& target, Zero_Pattern& summary) {
    using Arithmetic = Combination_Arithmetic<T>;
    using Factor = typename Arithmetic::Factor;
    if (first_value == 0 || second_value == 0) {
        throw std::invalid_argument("combine_rows: a row to be combined is zero in the column");
    }
    const Factor g = common_divisor(Factor(first_value), Factor(second_value));
    Factor m_first = -Factor(second_value) / g;
    Factor m_second = Factor(first_value) / g;
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
        Arithmetic::combine(out[u], m_second, b[u], m_first, a[u]);
        if (u >= t.reactions) continue;
        const int column = static_cast<int>(u);
        if (out[u] == 0) {
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
    using Arithmetic = Combination_Arithmetic<T>;
    using Factor = typename Arithmetic::Factor;
    T* row = t.coefficients.data() + position;
    unsigned u = 0;
    while (u < t.stride && row[u] == 0) ++u;
    if (u == t.stride) return;
    Factor d = magnitude(Factor(row[u]));
    for (; u < t.stride && d != 1; ++u) {
        if (row[u] != 0) d = common_divisor(d, Factor(row[u]));
    }
    if (d == 1) return;
    for (unsigned k = 0; k < t.stride; ++k) Arithmetic::divide_exactly(row[k], d);
}

template class Int_Combination<int>;
template class Int_Combination<std::int64_t>;
template class Int_Combination<Int128>;
#ifdef KESTRANE_HAVE_GMP
template class Int_Combination<mpz_class>;
#endif
