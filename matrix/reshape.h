#pragma once

#include "matrix/records.h"

// New records owned by the caller, made from the entries of their inputs.

// Transpose: m.columns x m.rows.
template <typename T>
basic_mat<T>* transp(const basic_mat<T>* m);

// m with an identity block appended on the right: m.rows x (m.columns + m.rows).
template <typename T>
basic_mat<T>* addi(const basic_mat<T>* m);

// Columns cc to m.columns - 1 of m.
template <typename T>
basic_mat<T>* cutcol(const basic_mat<T>* m, int cc);

// The rows of n whose flag in ext is 0, in order; stops when there is none.
mat* cutnex(const mat* n, const simple_vector* ext);
