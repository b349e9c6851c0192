#pragma once

#include <vector>

#include "matrix/records.h"
#include "matrix/wide_mat.h"

// Appends to the report named report_name (to the file that holds it until the program ends,
// report_file_in_use) the comparison of the convex basis CB with the elementary modes EM (both
// over the same reactions): basis vectors whose reaction set is no mode's (also on standard
// output), and the numbers of the modes equal to a basis vector.
// Works in place on EM: every mode equal to a basis vector is set to zero. Stops with status 1
// when the report cannot be opened or written.
void additional_em(const char* report_name, Wide_View CB, Wide_Mat& EM);

// What the comparison finds, from the convex basis and the modes alone: the basis vectors (from
// 0) whose reaction set is no mode's, and per mode whether it is a non-zero mode equal to a basis
// vector. Empty when the two have different numbers of reactions.
struct Basis_Comparison {
    std::vector<int> non_elementary;
    std::vector<unsigned char> equal_to_basis;
};

// Compares the convex basis CB with the modes EM without changing either, so that it may run
// beside other work that reads them. Records of different widths are compared in the wider one.
Basis_Comparison compare_with_basis(Wide_View CB, Wide_View EM);

// additional_em with the comparison already made: compare_with_basis(CB, EM) on the same records.
void additional_em(const char* report_name, Wide_View CB, Wide_Mat& EM,
                   const Basis_Comparison& found);
