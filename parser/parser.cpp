#include "parser/parser.h"

#include <cstdio>
#include <fstream>

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

int parser(const char* file_name, std::vector<std::string>& header_lines,
           std::vector<std::string>& reversible_reactions,
           std::vector<std::string>& irreversible_reactions,
           std::vector<std::string>& internal_metabolites,
           std::vector<std::string>& external_metabolites, std::vector<double>& coefficients) {
    // Binary mode keeps every byte of the file, carriage returns included, and makes the
    // stream positions the equation reader sets back to exact.
    std::ifstream file(file_name, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
        printf("File %s not found\n", file_name);
        return 1;
    }

    // Every section is attempted even after a missing key: the stream is then at its end, so
    // each later key is reported missing as well.
    bool sections_found = true;
    sections_found &= read_string_until(header_lines, "-ENZREV", file) == 0;
    sections_found &= read_word_until(reversible_reactions, "-ENZIRREV", file) == 0;
    sections_found &= read_word_until(irreversible_reactions, "-METINT", file) == 0;
    sections_found &= read_word_until(internal_metabolites, "-METEXT", file) == 0;
    sections_found &= read_word_until(external_metabolites, "-CAT", file) == 0;
    if (!sections_found) return 1;

    const std::size_t reactions = reversible_reactions.size() + irreversible_reactions.size();
    const std::size_t metabolites = internal_metabolites.size() + external_metabolites.size();
    coefficients.assign(reactions * metabolites, 0.0);

    return read_reaction_equations(file, irreversible_reactions, reversible_reactions,
                                   external_metabolites, internal_metabolites, coefficients);
}
