#include "parser/parser.h"

#include <cstdio>
#include <sstream>

#include "parser/declarations.h"
#include "parser/file_text.h"
#include "parser/reaction_equations.h"

namespace {

void report_missing_part(const char* key) {
    printf("The %s part is not found in the file!\n", key);
}

}  // namespace

int read_string_until(std::vector<std::string>& list, const char* key, std::istream& stream) {
    std::string line;
    while (std::getline(stream, line)) {
        if (line.find(key) != std::string::npos) return 0;
        list.push_back(line);
    }
    report_missing_part(key);
    return -1;
}

int read_word_until(std::vector<std::string>& list, const char* key, std::istream& stream) {
    std::string word;
    while (stream >> word) {
        if (word.find(key) != std::string::npos) return 0;
        list.push_back(word);
    }
    report_missing_part(key);
    return -1;
}

std::optional<network_file> parser(const char* file_name) {
    std::string text;
    if (!read_file_text(file_name, text)) return std::nullopt;
    network_file file;
    std::vector<bool> reactions_with_equation;
    if (parse_network_text(text, file, reactions_with_equation) != 0) return std::nullopt;
    warn_about_declarations(file.reversible_reactions, file.irreversible_reactions,
                            file.internal_metabolites, file.external_metabolites,
                            reactions_with_equation);
    return file;
}

int parse_network_text(const std::string& text, network_file& file,
                       std::vector<bool>& reactions_with_equation) {
    // Every byte of the file counts, carriage returns included; the equation reader sets the
    // stream back to the start of the next equation's line.
    std::istringstream stream(text);

    // Every section is attempted even after a missing key: the stream is then at its end, so
    // each later key is reported missing as well.
    bool sections_found = true;
    sections_found &= read_string_until(file.header_lines, "-ENZREV", stream) == 0;
    sections_found &= read_word_until(file.reversible_reactions, "-ENZIRREV", stream) == 0;
    sections_found &= read_word_until(file.irreversible_reactions, "-METINT", stream) == 0;
    sections_found &= read_word_until(file.internal_metabolites, "-METEXT", stream) == 0;
    sections_found &= read_word_until(file.external_metabolites, "-CAT", stream) == 0;
    if (!sections_found) return 1;

    return read_reaction_equations(stream, file.irreversible_reactions, file.reversible_reactions,
                                   file.external_metabolites, file.internal_metabolites,
                                   file.coefficients, reactions_with_equation);
}
