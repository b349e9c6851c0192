#include "import/model_file.h"

#include <utility>

#include "import/gzip.h"
#include "import/import_error.h"
#include "import/json_reader.h"
#include "import/sbml_reader.h"
#include "parser/file_text.h"

metabolic_model read_model_text(std::string text, const char* file_name,
                                std::uint64_t max_inflated) {
    if (is_gzip(text)) text = gunzip(text, file_name, max_inflated);
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // a UTF-8 byte order mark
    start = text.find_first_not_of(" \t\r\n", start);
    if (start != std::string::npos && text[start] == '<') return read_sbml(text, file_name);
    if (start != std::string::npos && text[start] == '{') return read_json(text, file_name);
    refuse("%s is neither an SBML (XML) nor a JSON model.", file_name);
}

metabolic_model read_model_file(const char* file_name, std::uint64_t max_inflated) {
    std::string text;
    // The reason why the file cannot be read is printed by the file reader.
    if (!read_file_text(file_name, text)) throw import_error("");
    return read_model_text(std::move(text), file_name, max_inflated);
}
