#include "matrix/row_removal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "matrix/allocation.h"
#include "matrix/wide_integers.h"

template <typename T>
void delete_zero_line(basic_mat<T>* m, int i) {
    if (m->rows <= 0 || i < 0) {
        printf("error in delete_zero_line: no row %d in a matrix of %d rows\n", i, m->rows);
        fflush(stdout);
        exit(1);
    }
    // The row arrays stay in place: the contents below row i move up one row, the last array goes.
    for (int r = i + 1; r < m->rows; ++r)
        std::copy(m->head[r], m->head[r] + m->columns, m->head[r - 1]);
    free_values(m->head[m->rows - 1], std::max(m->columns, 1));
    m->head[m->rows - 1] = nullptr;
    --m->rows;
}

#define KESTRANE_ROW_REMOVAL(T) template void delete_zero_line(basic_mat<T>*, int);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_ROW_REMOVAL)

void delete_corresponding_row_in_rev(simple_vector* v, int i) {
    if (v->length <= 0 || i < 0) {
        printf("error in delete_corresponding_row_in_rev: no element %d in a vector of %d\n", i,
               v->length);
        fflush(stdout);
        exit(1);
    }
    for (int e = i + 1; e < v->length; ++e) v->head[e - 1] = v->head[e];
    --v->length;
}
