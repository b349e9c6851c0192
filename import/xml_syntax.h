#pragma once

#include <map>
#include <string>

// The root element of a document: its local name, its namespace, the attributes it has
// without a prefix, and the line where its start tag ends.
struct xml_root {
    std::string name;
    std::string name_space;
    std::map<std::string, std::string> attributes;
    int line = 0;
};

// Reads the text with libxml2 alone, without building a tree, and throws an import_error with
// the file, the line and libxml2's own message for the first error of XML syntax (an undefined
// entity, a tag left open, an unsupported XML version, bytes that are not UTF-8). libSBML
// reports such errors through codes that lose what was wrong, and for some of them the line.
// Returns the root element. The nesting must have been checked before: libxml2 is told to
// accept any depth.
xml_root check_xml_syntax(const std::string& text, const char* file_name);
