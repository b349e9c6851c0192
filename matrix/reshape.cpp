#include "matrix/reshape.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "matrix/allocation.h"
#include "matrix/owned_records.h"
#include "matrix/wide_integers.h"

template <typename T>
basic_mat<T>* transp(const basic_mat<T>* m) {
    basic_mat<T>* tm = new_mat<T>(m->columns, m->rows, "tm not allocated", "tm->head not allocated",
                                  "*(tm->head+i) not allocated");
    // Tiles of 64 x 64 entries keep both the rows read and the rows written in the cache.
    constexpr int kTile = 64;
    for (int e0 = 0; e0 < m->rows; e0 += kTile) {
        const int e1 = std::min(e0 + kTile, m->rows);
        for (int d0 = 0; d0 < m->columns; d0 += kTile) {
            const int d1 = std::min(d0 + kTile, m->columns);
            // The new record is zero-filled: only non-zero entries are written.
            for (int e = e0; e < e1; ++e) {
                const T* row = m->head[e];
                for (int d = d0; d < d1; ++d)
                    if (row[d] != 0) tm->head[d][e] = row[d];
            }
        }
    }
    return tm;
}

template <typename T>
basic_mat<T>* addi(const basic_mat<T>* m) {
    basic_mat<T>* mi = new_mat<T>(m->rows, m->columns + m->rows, "mi not allocated",
                                  "mi->head not allocated", "*(mi->head+i) not allocated");
    for (int e = 0; e < m->rows; ++e) {
        for (int o = 0; o < m->columns; ++o) mi->head[e][o] = m->head[e][o];
        mi->head[e][m->columns + e] = 1;
    }
    return mi;
}

template <typename T>
basic_mat<T>* cutcol(const basic_mat<T>* m, int cc) {
    // The record and its row pointers exist before the cut is checked, as the labels tell.
    std::unique_ptr<basic_mat<T>, Reference_Mat_Deleter> mc(
        zero_alloc_array<basic_mat<T> >(1, "mc not allocated"));
    mc->head = zero_alloc_array<T*>(m->rows, "mc->head not allocated (3)");
    if (cc > m->columns || cc < 0) {
        mc.reset();  // exit runs no destructors
        if (cc < 0)
            printf("ERROR IN FUNCTION CUTCOL: CC<0!\n");
        else
            printf("ERROR IN FUNCTION CUTCOL: CC>M->ROW!\n");
        fflush(stdout);
        exit(1);
    }
    mc->rows = m->rows;
    mc->columns = m->columns - cc;
    for (int i = 0; i < m->rows; ++i) {
        mc->head[i] = zero_values<T>(mc->columns, "*(mc->head+i) not allocated");
        for (int o = cc; o < m->columns; ++o) mc->head[i][o - cc] = m->head[i][o];
    }
    return mc.release();
}

#define KESTRANE_RESHAPE(T)                             \
    template basic_mat<T>* transp(const basic_mat<T>*); \
    template basic_mat<T>* addi(const basic_mat<T>*);   \
    template basic_mat<T>* cutcol(const basic_mat<T>*, int);
KESTRANE_FOR_EACH_WIDTH(KESTRANE_RESHAPE)

mat* cutnex(const mat* n, const simple_vector* ext) {
    if (ext->length != n->rows) {
        printf("error in cutnex: %d metabolite flags for %d matrix rows\n", ext->length, n->rows);
        fflush(stdout);
        exit(1);
    }
    int internal = 0;
    for (int d = 0; d < ext->length; ++d)
        if (ext->head[d] == 0) ++internal;
    if (internal == 0) {
        printf("\nThe system comprises only external metabolites.\n");
        printf("\r                  \r");
        fflush(stdout);
        exit(1);
    }
    mat* m = new_mat(internal, n->columns, "m not allocated", "m->head not allocated",
                     "*(m->head+i) not allocated");
    int row = 0;
    for (int d = 0; d < n->rows; ++d) {
        if (ext->head[d] != 0) continue;
        for (int o = 0; o < n->columns; ++o) m->head[row][o] = n->head[d][o];
        ++row;
    }
    return m;
}
