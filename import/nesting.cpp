#include "import/nesting.h"

#include "import/import_error.h"
#include "import/text_position.h"

namespace {

[[noreturn]] void too_deep(const std::string& text, std::size_t offset, const char* file_name,
                           const char* what) {
    refuse("%s, line %zu: the %s are nested more than %d levels deep.", file_name,
           position_in(text, offset).line, what, largest_nesting_depth);
}

// The offset behind the first end marker at or after from, or the end of the text when the
// marker is missing (the parser then reports the construct left open).
std::size_t behind(const std::string& text, std::size_t from, const char* marker) {
    const std::size_t found = text.find(marker, from);
    return found == std::string::npos ? text.size()
                                      : found + std::char_traits<char>::length(marker);
}

// The offset of the '>' that ends the tag starting at from, skipping quoted attribute values.
std::size_t tag_end(const std::string& text, std::size_t from) {
    char quote = '\0';
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != '\0') {
            if (c == quote) quote = '\0';
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return text.size();
}

}  // namespace

void check_xml_nesting(const std::string& text, const char* file_name) {
    int depth = 0;
    std::size_t at = text.find('<');
    while (at != std::string::npos) {
        if (text.compare(at, 4, "<!--") == 0) {
            at = behind(text, at + 4, "-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            at = behind(text, at + 9, "]]>");
        } else if (text.compare(at, 2, "<?") == 0) {
            at = behind(text, at + 2, "?>");
        } else if (text.compare(at, 9, "<!DOCTYPE") == 0) {
            refuse(
                "%s, line %zu: the document type declaration is not supported: SBML does not use "
                "one.",
                file_name, position_in(text, at).line);
        } else if (text.compare(at, 2, "<!") == 0) {
            at = tag_end(text, at + 2);  // malformed; the parser names it
        } else if (text.compare(at, 2, "</") == 0) {
            // A surplus end tag is the parser's error to report; the depth stays counted from
            // the tags before it.
            if (depth > 0) --depth;
            at = tag_end(text, at + 2);
        } else {
            const std::size_t end = tag_end(text, at + 1);
            const bool closed_at_once = end < text.size() && text[end - 1] == '/';
            if (!closed_at_once && ++depth > largest_nesting_depth)
                too_deep(text, at, file_name, "elements");
            at = end;
        }
        at = text.find('<', at);
    }
}

void check_json_nesting(const std::string& text, const char* file_name) {
    int depth = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > largest_nesting_depth) too_deep(text, i, file_name, "arrays and objects");
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}
