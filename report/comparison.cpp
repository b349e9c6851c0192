#include "report/comparison.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>
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

// The key of a row of n values: the row's own bytes where the width is bounded; the values'
// digits, put together in `digits`, where it is not (their bytes name their memory).
template <typename T>
std::string_view row_key(const T* row, int n, std::string& digits) {
    if constexpr (is_bounded<T>) {
        return key_of(row, n);
    } else {
        digits.clear();
        for (int j = 0; j < n; ++j) {
            append_decimal(digits, row[j]);
            digits.push_back(' ');
        }
        return digits;
    }
}

// Every convex basis vector must be an elementary mode; the basis vectors whose set of reactions
// is that of no mode. The basis vectors' reaction sets go into a hash table, so that one pass
// over the modes finds them all.
template <typename T>
std::vector<int> non_elementary_basis(const basic_mat<T>* CB, const basic_mat<T>* EM) {
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
template <typename T>
std::vector<unsigned char> modes_equal_to_basis(const basic_mat<T>* CB, const basic_mat<T>* EM) {
    std::deque<std::string> basis_digits;  // the keys of unbounded values, kept in place
    std::unordered_set<std::string_view> basis;
    for (int c = 0; c < CB->rows; ++c) {
        basis_digits.emplace_back();
        basis.insert(row_key(CB->head[c], CB->columns, basis_digits.back()));
    }
    std::string digits;
    std::vector<unsigned char> equal(EM->rows > 0 ? EM->rows : 0, 0);
    for (int t = 0; t < EM->rows; ++t) {
        equal[t] = !row_is_zero(EM->head[t], EM->columns) &&
                   basis.count(row_key(EM->head[t], EM->columns, digits)) != 0;
    }
    return equal;
}

// Writes how many modes are not basis vectors and the numbers of those that are, numbering
// the modes without the zero lines.
void write_equal_modes(int rows, const int* zero_lines, const std::vector<unsigned char>& equal,
                       FILE* file) {
    int remaining = 0;
    for (int t = 0; t < rows; ++t)
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
    for (int t = 0; t < rows; ++t) {
        if (zero_lines[t]) {
            ++zero_lines_so_far;
            continue;
        }
        if (equal[t]) fprintf(file, "%d ", t - zero_lines_so_far + 1);
    }
    fprintf(file, "\n\n");
}

}  // namespace

Basis_Comparison compare_with_basis(Wide_View CB, Wide_View EM) {
    if (CB.columns() != EM.columns()) return {};
    return std::visit(
        [&](auto width) -> Basis_Comparison {
            using T = typename decltype(width)::type;
            Owned_Basic_Mat<T> CB_copy;
            Owned_Basic_Mat<T> EM_copy;
            const basic_mat<T>* cb = at_width(CB, CB_copy);
            const basic_mat<T>* em = at_width(EM, EM_copy);
            return {non_elementary_basis(cb, em), modes_equal_to_basis(cb, em)};
        },
        width_at(std::max(CB.width(), EM.width())));
}

void additional_em(const char* report_name, Wide_View CB, Wide_Mat& EM) {
    additional_em(report_name, CB, EM, compare_with_basis(CB, EM));
}

void additional_em(const char* report_name, Wide_View CB, Wide_Mat& EM,
                   const Basis_Comparison& found) {
    if (CB.columns() != EM.columns()) {
        printf(
            "\nThe convex basis has %d reactions, the elementary modes %d.\nProgramm "
            "prematurely finished.\n",
            CB.columns(), EM.columns());
        fflush(stdout);
        exit(1);
    }
    const int rows = EM.rows() > 0 ? EM.rows() : 0;
    if (found.equal_to_basis.size() != static_cast<std::size_t>(rows)) {
        throw std::invalid_argument("additional_em: the comparison is of other modes");
    }
    Owned_Array<int> zero_lines = zero_filled<int>(rows, "zero_lines in additional");
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
    EM.visit([&](auto* em) {
        for (int t = 0; t < em->rows; ++t) {
            zero_lines[t] = row_is_zero(em->head[t], em->columns);
            if (found.equal_to_basis[t]) std::fill(em->head[t], em->head[t] + em->columns, 0);
        }
    });
    write_equal_modes(rows, zero_lines.get(), found.equal_to_basis, file);
    close_report_or_stop(file, report_name);
}
