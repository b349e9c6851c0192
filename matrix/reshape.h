#pragma once

#include "matrix/records.h"

// New records owned by the caller, made from the entries of their inputs.

// Transpose: m.columns x m.rows.
mat* transp(const mat* m);

// m with an identity block appended on the right: m.rows x (m.columns + m.rows).
mat* addi(const mat* m);

// Columns cc to m.columns - 1 of m.
mat* cutcol(const mat* m, int cc);

// The rows of n whose flag in ext is 0, in order; stops when there is none.
mat* cutnex(const mat* n, const simple_vector* ext);
