#pragma once

#include "matrix/records.h"

// Appends to the report named report_name (to the file that holds it until the program ends,
// report_file_in_use) the comparison of the convex basis CB with the elementary modes EM (both
// over the same reactions): basis vectors whose reaction set is no mode's (also on standard
// output), and the numbers of the modes equal to a basis vector.
// Works in place on EM: every mode equal to a basis vector is set to zero. Stops with status 1
// when the report cannot be opened or written.
void additional_em(const char* report_name, const mat* CB, mat* EM);
