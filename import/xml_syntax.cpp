#include "import/xml_syntax.h"

#include <libxml/parser.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "import/import_error.h"

namespace {

// What the reading found, and where it stands in the text.
struct reading {
    const std::string* text = nullptr;
    std::size_t offset = 0;
    xmlParserCtxtPtr parser = nullptr;
    bool root_seen = false;
    xml_root root;
    bool failed = false;
    int error_line = 0;
    std::string error;
    bool out_of_memory = false;  // in a callback, which may not throw through libxml2
};

// Hands the parser the next piece of the text; the parser counts in int.
int read_piece(void* context, char* buffer, int length) {
    auto& r = *static_cast<reading*>(context);
    const std::size_t size =
        std::min<std::size_t>(static_cast<std::size_t>(length), r.text->size() - r.offset);
    std::memcpy(buffer, r.text->data() + r.offset, size);
    r.offset += size;
    return static_cast<int>(size);
}

int close_nothing(void*) { return 0; }

void keep_root(void* context, const xmlChar* name, const xmlChar*, const xmlChar* name_space, int,
               const xmlChar**, int attribute_count, int, const xmlChar** attributes) {
    auto& r = *static_cast<reading*>(context);
    if (r.root_seen) return;
    r.root_seen = true;
    try {
        r.root.name = reinterpret_cast<const char*>(name);
        if (name_space != nullptr) r.root.name_space = reinterpret_cast<const char*>(name_space);
        r.root.line = r.parser->input != nullptr ? r.parser->input->line : 0;
        // Five pointers per attribute: local name, prefix, namespace, value, end of the value.
        for (int a = 0; a < attribute_count; ++a) {
            const xmlChar* const* attribute = attributes + 5 * a;
            if (attribute[1] != nullptr) continue;
            r.root.attributes[reinterpret_cast<const char*>(attribute[0])] =
                std::string(reinterpret_cast<const char*>(attribute[3]),
                            reinterpret_cast<const char*>(attribute[4]));
        }
    } catch (const std::bad_alloc&) {
        r.out_of_memory = true;
        xmlStopParser(r.parser);
    }
}

void keep_first_error(void* context, xmlErrorPtr error) {
    auto& r = *static_cast<reading*>(context);
    if (r.failed || error == nullptr || error->level < XML_ERR_ERROR) return;
    r.failed = true;
    r.error_line = error->line;
    try {
        r.error = error->message != nullptr ? error->message : "an error without a message";
        r.error.erase(r.error.find_last_not_of(" \n") + 1);
    } catch (const std::bad_alloc&) {
        r.out_of_memory = true;
        xmlStopParser(r.parser);
    }
}

}  // namespace

xml_root check_xml_syntax(const std::string& text, const char* file_name) {
    // No callback but those for the root element and errors: no tree is built.
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = keep_root;
    handler.serror = keep_first_error;
    reading r;
    r.text = &text;
    xmlInitParser();
    r.parser =
        xmlCreateIOParserCtxt(&handler, &r, read_piece, close_nothing, &r, XML_CHAR_ENCODING_NONE);
    if (r.parser == nullptr) throw std::bad_alloc();
    xmlCtxtUseOptions(r.parser, XML_PARSE_HUGE | XML_PARSE_NONET);
    xmlParseDocument(r.parser);
    xmlFreeParserCtxt(r.parser);
    if (r.out_of_memory) throw std::bad_alloc();
    if (r.failed) refuse("%s, line %d: %s", file_name, r.error_line, r.error.c_str());
    return r.root;
}
