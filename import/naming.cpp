#include "import/naming.h"

#include "parser/reaction_equations.h"

namespace {

// The keys that end a name list, and the one that ends the header.
const char* const section_keys[] = {"-ENZREV", "-ENZIRREV", "-METINT", "-METEXT", "-CAT"};

void break_section_keys(std::string& text) {
    for (bool changed = true; changed;) {
        changed = false;
        for (const char* key : section_keys) {
            const std::size_t at = text.find(key);
            if (at == std::string::npos) continue;
            text[at] = '_';
            changed = true;
        }
    }
}

bool is_utf8_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string network_name(const std::string& id, const std::string& prefix) {
    std::string name = id;
    if (!prefix.empty() && name.size() > prefix.size() &&
        name.compare(0, prefix.size(), prefix) == 0)
        name.erase(0, prefix.size());
    std::string printable;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // One "_" for a whole UTF-8 character.
        if (is_utf8_continuation(c) && i > 0 && static_cast<unsigned char>(name[i - 1]) >= 0x80)
            continue;
        printable += c > ' ' && c < 0x7F ? name[i] : '_';
    }
    if (printable.empty()) printable.push_back('_');
    break_section_keys(printable);
    // A token that reads as a number other than zero is a coefficient for the equation reader
    // ("nan" included); "+", "=" and "." are operators and ":" follows the reaction name.
    if (check_number(printable) != 0.0 || printable == "+" || printable == "=" ||
        printable == "." || printable == ":")
        printable = "_" + printable;
    return printable;
}

std::string header_safe(const std::string& text) {
    std::string safe = text;
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) c = '_';
    break_section_keys(safe);
    return safe;
}

std::string unique_names::take(const std::string& candidate) {
    if (given_.insert(candidate).second) return candidate;
    for (int number = 2;; ++number) {
        const std::string name = candidate + "_" + std::to_string(number);
        // A name that a later element bears itself is left to it.
        if (reserved_.count(name) == 0 && given_.insert(name).second) return name;
    }
}
