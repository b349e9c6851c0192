#include "report/comparison.h"

#include <cstdio>
#include <cstdlib>

#include "matrix/allocation.h"
#include "report/report_file.h"
#include "report/row_support.h"

namespace {

// True when rows a and b are non-zero in exactly the same columns.
bool same_support(const int* a, const int* b, int columns) {
    for (int j = 0; j < columns; ++j)
        if ((a[j] != 0) != (b[j] != 0)) return false;
    return true;
}

// True when rows a and b hold the same entries.
bool same_entries(const int* a, const int* b, int columns) {
    for (int j = 0; j < columns; ++j)
        if (a[j] != b[j]) return false;
    return true;
}

// Every convex basis vector must be an elementary mode; names the basis vectors whose set of
// reactions is that of no mode.
void report_non_elementary_basis(const mat* CB, const mat* EM, FILE* file) {
    for (int c = 0; c < CB->rows; ++c) {
        bool found = false;
        for (int t = 0; t < EM->rows && !found; ++t)
            found = same_support(CB->head[c], EM->head[t], CB->columns);
        if (found) continue;
        fprintf(file, "\nConvex mode %3d not found in elementary modes.", c + 1);
        printf("Convex basis %3d is not elementary\n", c + 1);
    }
}

// Sets every mode equal to a basis vector to zero. A mode that is zero before the comparison
// is no mode at all: it gets its zero-line flag and is never taken for a basis vector.
void clear_modes_equal_to_basis(const mat* CB, mat* EM, int* zero_lines) {
    for (int t = 0; t < EM->rows; ++t) zero_lines[t] = row_is_zero(EM->head[t], EM->columns);
    for (int c = 0; c < CB->rows; ++c)
        for (int t = 0; t < EM->rows; ++t)
            if (!zero_lines[t] && same_entries(CB->head[c], EM->head[t], CB->columns))
                for (int j = 0; j < EM->columns; ++j) EM->head[t][j] = 0;
}

// Writes how many modes are not basis vectors and the numbers of those that are, numbering
// the modes without the zero lines.
void write_equal_modes(const mat* EM, const int* zero_lines, FILE* file) {
    int remaining = 0;
    for (int t = 0; t < EM->rows; ++t)
        if (!row_is_zero(EM->head[t], EM->columns)) ++remaining;
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
        if (row_is_zero(EM->head[t], EM->columns)) fprintf(file, "%d ", t - zero_lines_so_far + 1);
    }
    fprintf(file, "\n\n");
}

}  // namespace

void additional_em(const char* report_name, const mat* CB, mat* EM) {
    if (CB->columns != EM->columns) {
        printf(
            "\nThe convex basis has %d reactions, the elementary modes %d.\nProgramm "
            "prematurely finished.\n",
            CB->columns, EM->columns);
        fflush(stdout);
        exit(1);
    }
    int* zero_lines =
        zero_alloc_array<int>(EM->rows > 0 ? EM->rows : 0, "zero_lines in additional");
    FILE* file = fopen(report_file_in_use(report_name), "a+");
    if (file == nullptr) {
        printf("\n%s ", report_name);
        fflush(stdout);
        perror("File error");
        free(zero_lines);
        exit(1);
    }

    report_non_elementary_basis(CB, EM, file);
    clear_modes_equal_to_basis(CB, EM, zero_lines);
    write_equal_modes(EM, zero_lines, file);
    free(zero_lines);
    close_report_or_stop(file, report_name);
}
