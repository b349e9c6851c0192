#pragma once

#include "matrix/records.h"

// Every operation returns a new record owned by the caller unless it works in place.

// Matrix product a x b (a.rows x b.columns), formed in 64 bits; a result that does not fit
// 32 bits stops the run. Incompatible dimensions print their message and stop with status 1.
mat* mult(const mat* a, const mat* b);

// Transpose: m.columns x m.rows.
mat* transp(const mat* m);

// m with an identity block appended on the right: m.rows x (m.columns + m.rows).
mat* addi(const mat* m);

// Columns cc to m.columns - 1 of m.
mat* cutcol(const mat* m, int cc);

// The rows of n whose flag in ext is 0, in order; stops when there is none.
mat* cutnex(const mat* n, const simple_vector* ext);

// The flag of every data node of the list, in list order.
simple_vector* getrev(const enc* list);

// Per row of s: 1 when it has a non-zero entry in a column whose rev flag is non-zero.
simple_vector* subrev(const mat* s, const simple_vector* rev);

// Removes row i of m in place.
void delete_zero_line(mat* m, int i);

// Removes element i of v in place.
void delete_corresponding_row_in_rev(simple_vector* v, int i);

// Greatest common divisor of two non-negative numbers; gcd(a, 0) = a, gcd(0, b) = b.
int gcd(int a, int b);

// Divides every row of m by the greatest common divisor of its entries, in place.
void ggt_matrix(mat* m);
