#pragma once

#include <istream>
#include <string>
#include <vector>

#include "parser/coefficient_table.h"

// Reads every equation from the stream up to its end and enters its coefficients into the
// table: consumed metabolites negative, produced ones positive, a later entry replacing an
// earlier one. Marks in reactions_with_equation (resized to one flag per reaction column) the
// reactions that have an equation. Returns 0, or 1 after the first error, whose message is on
// standard output.
int read_reaction_equations(std::istream& stream,
                            const std::vector<std::string>& irreversible_reactions,
                            const std::vector<std::string>& reversible_reactions,
                            const std::vector<std::string>& external_metabolites,
                            const std::vector<std::string>& internal_metabolites,
                            coefficient_table& coefficients,
                            std::vector<bool>& reactions_with_equation);

// Gathers the next equation (its line with a colon and the following lines without one) and
// appends its tokens to the list. Returns 1 when another equation follows (the stream is set
// back to its line), 0 at the end of the stream. With no equation line it prints the
// first-reaction message and leaves the list empty; without " = " it prints the missing-"="
// message, leaves the list empty and returns -1: the file cannot be read on.
int get_reactions_vector(std::istream& stream, std::vector<std::string>& tokens);

// The value of the token if it reads completely as a real number, else 0.0.
double check_number(const std::string& token);

// Position of the first element of the list equal to the word, or -1.
long check_vector_for_word(const std::string& word, const std::vector<std::string>& list);
