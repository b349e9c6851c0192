#include "parser/reaction_equations.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

bool at_end(std::istream& stream) { return stream.peek() == std::char_traits<char>::eof(); }

// Where an equation's row and column are found: the first list is searched first, a name only
// in the second lies behind all names of the first. -1 when neither list holds the name.
long position_in_lists(const std::string& name, const std::vector<std::string>& first,
                       const std::vector<std::string>& second) {
    long position = check_vector_for_word(name, first);
    if (position >= 0) return position;
    position = check_vector_for_word(name, second);
    if (position >= 0) return position + static_cast<long>(first.size());
    return -1;
}

enum class token_kind { name, coefficient, plus, equals, full_stop };

token_kind classify(const std::string& token) {
    if (token == "+") return token_kind::plus;
    if (token == "=") return token_kind::equals;
    if (token == ".") return token_kind::full_stop;
    // A token that reads as zero is a name: a zero coefficient is meaningless.
    if (check_number(token) != 0.0) return token_kind::coefficient;
    return token_kind::name;
}

// Enters the coefficients of one gathered equation into the table and marks its reaction.
// Returns true when it was read without error, false after the error message.
bool store_equation(const std::vector<std::string>& tokens,
                    const std::vector<std::string>& irreversible_reactions,
                    const std::vector<std::string>& reversible_reactions,
                    const std::vector<std::string>& external_metabolites,
                    const std::vector<std::string>& internal_metabolites,
                    coefficient_table& coefficients, std::vector<bool>& reactions_with_equation) {
    const std::string& reaction = tokens[0];
    const long column = position_in_lists(reaction, irreversible_reactions, reversible_reactions);
    if (column < 0) {
        printf("%s has not been found among declared reactions.\nCheck your input file.\n",
               reaction.c_str());
        return false;
    }
    if (tokens.size() < 2 || tokens[1] != ":") {
        printf("In reaction %s \":\" is missing. Check your input file.\n", reaction.c_str());
        return false;
    }
    reactions_with_equation[static_cast<std::size_t>(column)] = true;

    double side = -1.0;  // consumed metabolites stand before the "=", produced ones after it
    double pending = 1.0;
    std::string pending_text;  // the pending coefficient as written; empty for the implied 1
    bool after_name = false;
    bool after_coefficient = false;
    for (std::size_t i = 2; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        switch (classify(token)) {
            case token_kind::name: {
                if (after_name) {
                    printf("Two words one after another in reaction %s\nCheck syntax!\n",
                           reaction.c_str());
                    return false;
                }
                const long row =
                    position_in_lists(token, internal_metabolites, external_metabolites);
                if (row < 0) {
                    printf(
                        "%s has not been found among declared metabolites.\nCheck your input "
                        "file.\n",
                        token.c_str());
                    return false;
                }
                coefficients[{static_cast<std::size_t>(row), static_cast<std::size_t>(column)}] =
                    read_coefficient{pending * side, pending_text};
                after_name = true;
                after_coefficient = false;
                pending = 1.0;
                pending_text.clear();
                break;
            }
            case token_kind::coefficient: {
                if (after_coefficient) {
                    printf(
                        "In reaction %s two numbers follow one another.\nCheck your input "
                        "file.\n",
                        reaction.c_str());
                    return false;
                }
                const double value = check_number(token);
                // "nan" reads as a number but has no value a stoichiometric matrix can hold.
                if (std::isnan(value)) {
                    printf(
                        "In reaction %s the coefficient %s is not a number.\nCheck your input "
                        "file.\n",
                        reaction.c_str(), token.c_str());
                    return false;
                }
                pending = value;
                pending_text = token;
                after_coefficient = true;
                break;
            }
            case token_kind::plus:
            case token_kind::equals: {
                const bool equals = token == "=";
                if (equals) side = 1.0;
                if (after_name) {
                    after_name = false;
                    after_coefficient = false;
                } else {
                    printf("Wrong syntax in reaction %s.\nNo metabolite before %s.\n",
                           reaction.c_str(), equals ? "=" : "+");
                }
                break;
            }
            case token_kind::full_stop:
                break;
        }
    }
    return true;
}

}  // namespace

double check_number(const std::string& token) {
    if (token.empty()) return 0.0;
    const char* begin = token.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end != begin + token.size()) return 0.0;
    return value;
}

long check_vector_for_word(const std::string& word, const std::vector<std::string>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == word) return static_cast<long>(i);
    }
    return -1;
}

int get_reactions_vector(std::istream& stream, std::vector<std::string>& tokens) {
    std::string equation;
    bool found = false;
    // A last line that ends the file without a line break is a line like any other.
    while (std::getline(stream, equation)) {
        if (!equation.empty()) {
            found = equation.find(':') != std::string::npos;
            break;
        }
    }
    if (!found) {
        printf("Wrong syntax in the first reaction. Check your input file\n");
        return 0;
    }

    // The equation goes on over the following lines up to the next line with a colon, which
    // begins the next equation and is read again from its start. Empty lines are skipped.
    bool another_follows = false;
    std::string line;
    while (!at_end(stream)) {
        const std::streampos line_start = stream.tellg();
        std::getline(stream, line);
        if (line.empty()) continue;
        if (line.find(':') != std::string::npos) {
            stream.clear();
            stream.seekg(line_start);
            another_follows = true;
            break;
        }
        equation += ' ';
        equation += line;
    }

    if (equation.find(" = ") == std::string::npos) {
        printf("Reaction %smissing \"=\".\n", equation.c_str());
        return -1;
    }

    std::istringstream words(equation);
    std::string token;
    while (words >> token) tokens.push_back(token);
    return another_follows ? 1 : 0;
}

int read_reaction_equations(std::istream& stream,
                            const std::vector<std::string>& irreversible_reactions,
                            const std::vector<std::string>& reversible_reactions,
                            const std::vector<std::string>& external_metabolites,
                            const std::vector<std::string>& internal_metabolites,
                            coefficient_table& coefficients,
                            std::vector<bool>& reactions_with_equation) {
    coefficients.clear();
    reactions_with_equation.assign(irreversible_reactions.size() + reversible_reactions.size(),
                                   false);
    bool deprecated_full_stop = false;
    bool another_follows = true;
    while (another_follows) {
        std::vector<std::string> tokens;
        another_follows = get_reactions_vector(stream, tokens) == 1;
        if (tokens.empty()) return 1;
        if (!store_equation(tokens, irreversible_reactions, reversible_reactions,
                            external_metabolites, internal_metabolites, coefficients,
                            reactions_with_equation)) {
            return 1;
        }
        if (tokens.back() == ".") deprecated_full_stop = true;
    }
    if (deprecated_full_stop) {
        printf("The \".\" at the end of reaction was deprecated you can safely remove them!\n");
    }
    return 0;
}
