#include "matrix/subset.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "matrix/allocation.h"
#include "matrix/overflow.h"
#include "matrix/owned_records.h"
#include "matrix/reshape.h"
#include "matrix/row_arithmetic.h"
#include "matrix/simplify.h"

namespace {

const char* const kStage = "the enzyme subsets";

// Row d of the reaction table holds reaction d's k kernel coefficients, then its unit vector.
// The coefficients are divided by their common divisor and signed so that the first non-zero
// one is positive; the factor taken out, with its sign, replaces the unit entry. A reaction
// without flux in every kernel vector gets a zero row.
void normalise_reaction(int* row, int k, int width, int d) {
    const std::int64_t divisor = row_divisor(row, k);
    if (divisor == 0) {
        std::fill(row, row + width, 0);
        return;
    }
    const int* first = std::find_if(row, row + k, [](int x) { return x != 0; });
    const std::int64_t sign = *first > 0 ? 1 : -1;
    for (int c = 0; c < k; ++c) row[c] = fit_int(sign * row[c] / divisor, kStage);
    row[k + d] = fit_int(divisor * sign, kStage);
}

// Hash and equality of the normalised kernel coefficients (the first k entries) of rows of t.
struct Coefficients_Hash {
    const mat* t;
    int k;
    std::size_t operator()(int row) const {
        std::uint64_t h = 14695981039346656037ull;
        for (int c = 0; c < k; ++c) {
            h ^= static_cast<std::uint32_t>(t->head[row][c]);
            h *= 1099511628211ull;
        }
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};

struct Coefficients_Equal {
    const mat* t;
    int k;
    bool operator()(int e, int g) const {
        return std::equal(t->head[e], t->head[e] + k, t->head[g]);
    }
};

// Reactions with equal normalised coefficients form one subset: the factors of every later
// reaction g join those of the subset's first reaction e, and row g is cleared. The first
// reaction of every subset is found through a hash of the coefficients, not by comparing all
// pairs. Reactions without flux (zero coefficients) have zero rows and stay as they are.
void merge_equal_reactions(mat* t, int k) {
    std::unordered_set<int, Coefficients_Hash, Coefficients_Equal> first_reactions(
        static_cast<std::size_t>(t->rows), Coefficients_Hash{t, k}, Coefficients_Equal{t, k});
    for (int g = 0; g < t->rows; ++g) {
        if (std::all_of(t->head[g], t->head[g] + k, [](int x) { return x == 0; })) continue;
        const auto [first, inserted] = first_reactions.insert(g);
        if (inserted) continue;
        const int e = *first;
        for (int c = k; c < t->columns; ++c)
            t->head[e][c] =
                fit_int(static_cast<std::int64_t>(t->head[e][c]) + t->head[g][c], kStage);
        std::fill(t->head[g], t->head[g] + t->columns, 0);
    }
}

// Turns the subset so that its first irreversible reaction runs forwards; returns 1 when an
// irreversible reaction still runs backwards (the subset contradicts its constraints).
int orient_subset(int* row, int columns, const simple_vector* rev) {
    for (int t = 0; t < columns; ++t) {
        if (rev->head[t] != 0 && row[t] < 0) {
            negate_row(row, columns, kStage);
            break;
        }
    }
    for (int t = 0; t < columns; ++t)
        if (rev->head[t] != 0 && row[t] < 0) return 1;
    return 0;
}

}  // namespace

mat* subset(const mat* k, const simple_vector* rev, int** flags) {
    if (rev->length < k->columns) {
        printf("error in subset: %d reversibility flags for %d reactions\n", rev->length,
               k->columns);
        fflush(stdout);
        exit(1);
    }
    // The transpose is needed only to make the reaction table.
    const Owned_Mat t(addi(Owned_Mat(transp(k)).get()));
    for (int d = 0; d < t->rows; ++d) normalise_reaction(t->head[d], k->rows, t->columns, d);
    merge_equal_reactions(t.get(), k->rows);

    mat* s = simplify(Owned_Mat(cutcol(t.get(), k->rows)).get());
    int* contradiction = zero_alloc_array<int>(s->rows, "wrong_subset not enough memory");
    for (int o = 0; o < s->rows; ++o) contradiction[o] = orient_subset(s->head[o], s->columns, rev);
    switch_if_all_rows_are_minus_into_plus(s);
    *flags = contradiction;
    return s;
}
