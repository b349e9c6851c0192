// Fuzz target of the network file reader: any text is read as a network file. Besides what the
// sanitizers catch, the reader must keep its lists and table consistent with the text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "parser/declarations.h"
#include "parser/parser.h"
#include "parser/reaction_equations.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// A list read word by word holds no empty word, no white space and not the key that ends it.
void check_words(const std::vector<std::string>& words, const char* key) {
    for (const std::string& word : words) {
        require(!word.empty());
        require(word.find_first_of(" \t\n\v\f\r") == std::string::npos);
        require(word.find(key) == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    network_file file;
    std::vector<bool> with_equation;
    const int status = parse_network_text(text, file, with_equation);
    const std::vector<std::string>& header = file.header_lines;
    const std::vector<std::string>& reversible = file.reversible_reactions;
    const std::vector<std::string>& irreversible = file.irreversible_reactions;
    const std::vector<std::string>& internal = file.internal_metabolites;
    const std::vector<std::string>& external = file.external_metabolites;
    const coefficient_table& coefficients = file.coefficients;
    require(status == 0 || status == 1);

    for (const std::string& line : header) require(line.find("-ENZREV") == std::string::npos);
    check_words(reversible, "-ENZIRREV");
    check_words(irreversible, "-METINT");
    check_words(internal, "-METEXT");
    check_words(external, "-CAT");

    // Every entry lies in the table of the declared names, is a non-zero number, and is the
    // coefficient as written (or the implied 1) with the sign of its side.
    const std::size_t rows = internal.size() + external.size();
    const std::size_t columns = irreversible.size() + reversible.size();
    for (const auto& [position, coefficient] : coefficients) {
        require(position.first < rows && position.second < columns);
        require(coefficient.value != 0.0 && !std::isnan(coefficient.value));
        const double magnitude =
            coefficient.written.empty() ? 1.0 : std::fabs(check_number(coefficient.written));
        require(std::fabs(coefficient.value) == magnitude);
    }

    if (status == 0) {
        require(with_equation.size() == columns);
        warn_about_declarations(reversible, irreversible, internal, external, with_equation);
    }
    return 0;
}
