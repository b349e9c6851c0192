#include "report/comparison.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "matrix/owned_records.h"
#include "report/report_file.h"
#include "report/row_support.h"
#include "report/support_tree.h"

namespace {

// The bytes of n words from `first`, as a key of a hash table: two rows of the same length are
// equal exactly when their keys are.
template <typename Word>
std::string_view key_of(const Word* first, int n) {
    return std::string_view(reinterpret_cast<const char*>(first), sizeof(Word) * n);
}

// Every convex basis vector must be an elementary mode; the basis vectors whose set of reactions
// is that of no mode. The basis vectors' reaction sets go into a hash table, so that one pass
// over the modes finds them all.
std::vector<int> non_elementary_basis(const mat* CB, const mat* EM) {
    const int words = support_words(CB->columns);
    std::vector<std::uint64_t> basis_supports(std::size_t(CB->rows) * words);
    std::unordered_map<std::string_view, int> set_of_support;  // basis vectors with one set
    std::vector<int> set_of_vector(CB->rows);
    for (int c = 0; c < CB->rows; ++c) {
        std::uint64_t* bits = &basis_supports[std::size_t(c) * words];
        support_bits(CB->head[c], CB->columns, bits);
        const int next = static_cast<int>(set_of_support.size());
        set_of_vector[c] = set_of_support.try_emplace(key_of(bits, words), next).first->second;
    }
    std::vector<unsigned char> found(set_of_support.size(), 0);
    std::vector<std::uint64_t> bits(words);
    for (int t = 0; t < EM->rows; ++t) {
        support_bits(EM->head[t], EM->columns, bits.data());
        const auto set = set_of_support.find(key_of(bits.data(), words));
        if (set != set_of_support.end()) found[set->second] = 1;
    }
    std::vector<int> missing;
    for (int c = 0; c < CB->rows; ++c) {
        if (!found[set_of_vector[c]]) missing.push_back(c);
    }
    return missing;
}

// Per mode: whether it equals a basis vector, looked up in a hash table of the basis vectors. A
// mode that is zero is no mode at all and is never taken for a basis vector.
std::vector<unsigned char> modes_equal_to_basis(const mat* CB, const mat* EM) {
    std::unordered_set<std::string_view> basis;
    for (int c = 0; c < CB->rows; ++c) basis.insert(key_of(CB->head[c], CB->columns));
    std::vector<unsigned char> equal(EM->rows > 0 ? EM->rows : 0, 0);
    for (int t = 0; t < EM->rows; ++t) {
        equal[t] = !row_is_zero(EM->head[t], EM->columns) &&
                   basis.count(key_of(EM->head[t], EM->columns)) != 0;
    }
    return equal;
}

// Writes how many modes are not basis vectors and the numbers of those that are, numbering
// the modes without the zero lines.
void write_equal_modes(const mat* EM, const int* zero_lines,
                       const std::vector<unsigned char>& equal, FILE* file) {
    int remaining = 0;
    for (int t = 0; t < EM->rows; ++t)
        if (!zero_lines[t] && !equal[t]) ++remaining;
    fprintf(file, "\nThe elementary mode");
    if (remaining == 0)
        fprintf(file, "s ARE EQUAL to convex basis.\n");
    else if (remaining == 1)
        fprintf(file, " ");
    else
        fprintf(file, "s (%d) ", remaining);
    fprintf(file, "Convex basis: ");

    int zero_lines_so_far = 0;
    for (int t = 0; t < EM->rows; ++t) {
        if (zero_lines[t]) {
            ++zero_lines_so_far;
            continue;
        }
        if (equal[t]) fprintf(file, "%d ", t - zero_lines_so_far + 1);
    }
    fprintf(file, "\n\n");
}

}  // namespace

Basis_Comparison compare_with_basis(const mat* CB, const mat* EM) {
    if (CB->columns != EM->columns) return {};
    return {non_elementary_basis(CB, EM), modes_equal_to_basis(CB, EM)};
}

void additional_em(const char* report_name, const mat* CB, mat* EM) {
    additional_em(report_name, CB, EM, compare_with_basis(CB, EM));
}

void additional_em(const char* report_name, const mat* CB, mat* EM, const Basis_Comparison& found) {
    if (CB->columns != EM->columns) {
        printf(
            "\nThe convex basis has %d reactions, the elementary modes %d.\nProgramm "
            "prematurely finished.\n",
            CB->columns, EM->columns);
        fflush(stdout);
        exit(1);
    }
    if (found.equal_to_basis.size() != static_cast<std::size_t>(EM->rows > 0 ? EM->rows : 0)) {
        throw std::invalid_argument("additional_em: the comparison is of other modes");
    }
    Owned_Array<int> zero_lines =
        zero_filled<int>(EM->rows > 0 ? EM->rows : 0, "zero_lines in additional");
    FILE* file = fopen(report_file_in_use(report_name), "a+");
    if (file == nullptr) {
        printf("\n%s ", report_name);
        fflush(stdout);
        perror("File error");
        zero_lines.reset();  // exit runs no destructors
        exit(1);
    }

    for (const int c : found.non_elementary) {
        fprintf(file, "\nConvex mode %3d not found in elementary modes.", c + 1);
        printf("Convex basis %3d is not elementary\n", c + 1);
    }
    // Every mode equal to a basis vector is set to zero.
    for (int t = 0; t < EM->rows; ++t) {
        zero_lines[t] = row_is_zero(EM->head[t], EM->columns);
        if (found.equal_to_basis[t]) std::fill(EM->head[t], EM->head[t] + EM->columns, 0);
    }
    write_equal_modes(EM, zero_lines.get(), found.equal_to_basis, file);
    close_report_or_stop(file, report_name);
}
