#include "matrix/subset.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "matrix/allocation.h"
#include "matrix/escalation.h"
#include "matrix/owned_records.h"
#include "matrix/reshape.h"
#include "matrix/row_arithmetic.h"
#include "matrix/simplify.h"

namespace {

// Row d of the reaction table holds reaction d's k kernel coefficients, then its unit vector.
// The coefficients are divided by their common divisor and signed so that the first non-zero
// one is positive; the factor taken out, with its sign, replaces the unit entry. A reaction
// without flux in every kernel vector gets a zero row.
template <typename T>
void normalise_reaction(T* row, int k, int width, int d) {
    const T divisor = row_divisor(row, k);
    if (divisor == 0) {
        std::fill(row, row + width, T(0));
        return;
    }
    const T* first = std::find_if(row, row + k, [](const T& x) { return x != 0; });
    const bool negative = *first < 0;
    for (int c = 0; c < k; ++c) {
        row[c] /= divisor;
        if (negative) row[c] = -row[c];
    }
    row[k + d] = negative ? T(-divisor) : divisor;
}

// Bits of a value for a hash: its lowest 64 bits, and for an unbounded value its sign.
template <typename T>
std::uint64_t hash_bits(const T& value) {
    if constexpr (is_bounded<T>) {
        return static_cast<std::uint64_t>(value);
    } else {
#ifdef KESTRANE_HAVE_GMP
        return mpz_get_ui(value.get_mpz_t()) ^ static_cast<std::uint64_t>(sgn(value) < 0);
#endif
    }
}

// Hash and equality of the normalised kernel coefficients (the first k entries) of rows of t.
template <typename T>
struct Coefficients_Hash {
    const basic_mat<T>* t;
    int k;
    std::size_t operator()(int row) const {
        std::uint64_t h = 14695981039346656037ull;
        for (int c = 0; c < k; ++c) {
            h ^= hash_bits(t->head[row][c]);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};

template <typename T>
struct Coefficients_Equal {
    const basic_mat<T>* t;
    int k;
    bool operator()(int e, int g) const {
        return std::equal(t->head[e], t->head[e] + k, t->head[g]);
    }
};

// Reactions with equal normalised coefficients form one subset: the factors of every later
// reaction g join those of the subset's first reaction e, and row g is cleared. The first
// reaction of every subset is found through a hash of the coefficients, not by comparing all
// pairs. Reactions without flux (zero coefficients) have zero rows and stay as they are.
template <typename T>
void merge_equal_reactions(basic_mat<T>* t, int k) {
    std::unordered_set<int, Coefficients_Hash<T>, Coefficients_Equal<T> > first_reactions(
        static_cast<std::size_t>(t->rows), Coefficients_Hash<T>{t, k}, Coefficients_Equal<T>{t, k});
    for (int g = 0; g < t->rows; ++g) {
        if (std::all_of(t->head[g], t->head[g] + k, [](const T& x) { return x == 0; })) continue;
        const auto [first, inserted] = first_reactions.insert(g);
        if (inserted) continue;
        const int e = *first;
        for (int c = k; c < t->columns; ++c) {
            if (sum_overflows(t->head[e][c], t->head[g][c], t->head[e][c])) throw Range_Error();
        }
        std::fill(t->head[g], t->head[g] + t->columns, T(0));
    }
}

// Turns the subset so that its first irreversible reaction runs forwards; returns 1 when an
// irreversible reaction still runs backwards (the subset contradicts its constraints).
template <typename T>
int orient_subset(T* row, int columns, const simple_vector* rev) {
    for (int t = 0; t < columns; ++t) {
        if (rev->head[t] != 0 && row[t] < 0) {
            negate_row(row, columns);
            break;
        }
    }
    for (int t = 0; t < columns; ++t)
        if (rev->head[t] != 0 && row[t] < 0) return 1;
    return 0;
}

// The subsets of k in width T, with their contradiction flags.
template <typename T>
Wide_Mat subset_in(const basic_mat<T>* k, const simple_vector* rev, Owned_Array<int>& flags) {
    // The transpose is needed only to make the reaction table.
    const Owned_Basic_Mat<T> t(addi(Owned_Basic_Mat<T>(transp(k)).get()));
    for (int d = 0; d < t->rows; ++d) normalise_reaction(t->head[d], k->rows, t->columns, d);
    merge_equal_reactions(t.get(), k->rows);

    Owned_Basic_Mat<T> s(simplify(Owned_Basic_Mat<T>(cutcol(t.get(), k->rows)).get()));
    flags = zero_filled<int>(s->rows, "wrong_subset not enough memory");
    for (int o = 0; o < s->rows; ++o) flags[o] = orient_subset(s->head[o], s->columns, rev);
    switch_if_all_rows_are_minus_into_plus(s.get());
    return narrowest(std::move(s));
}

}  // namespace

Wide_Mat subset(Wide_View k, const simple_vector* rev, int** flags) {
    if (rev->length < k.columns()) {
        printf("error in subset: %d reversibility flags for %d reactions\n", rev->length,
               k.columns());
        fflush(stdout);
        exit(1);
    }
    Owned_Array<int> contradiction;
    Wide_Mat s = escalate(k.width(), [&](auto width) {
        using T = typename decltype(width)::type;
        Owned_Basic_Mat<T> copy;
        return subset_in(at_width(k, copy), rev, contradiction);
    });
    *flags = contradiction.release();
    return s;
}
