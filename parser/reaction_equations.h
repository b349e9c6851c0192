#pragma once

#include <istream>
#include <string>
#include <vector>

// Reads every equation from the stream up to its end and writes its coefficients into the
// table (metabolite m x number of reactions + reaction r, the table sized for all names):
// consumed metabolites negative, produced ones positive, a later entry overwriting an earlier.
// Returns 0, or 1 after the first error, whose message is on standard output.
int read_reaction_equations(std::istream& stream,
                            const std::vector<std::string>& irreversible_reactions,
                            const std::vector<std::string>& reversible_reactions,
                            const std::vector<std::string>& external_metabolites,
                            const std::vector<std::string>& internal_metabolites,
                            std::vector<double>& coefficients);

// Gathers the next equation (its line with a colon and the following lines without one) and
// appends its tokens to the list. Returns 1 when another equation follows (the stream is set
// back to its line), 0 at the end of the stream. With no equation line it prints the
// first-reaction message and leaves the list empty; without " = " it ends the program, status 1.
int get_reactions_vector(std::istream& stream, std::vector<std::string>& tokens);

// The value of the token if it reads completely as a real number, else 0.0.
double check_number(const std::string& token);

// Position of the first element of the list equal to the word, or -1.
long check_vector_for_word(const std::string& word, const std::vector<std::string>& list);
