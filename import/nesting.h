#pragma once

#include <string>

// libSBML and the JSON library build their trees with one level of recursion per level of
// nesting, so a file nested deep enough overflows the stack (libSBML at 20,000 levels, the JSON
// library at 100,000). Genome-scale models nest about 12 levels, MathML formulas a few more;
// 1,000 leaves them far behind and keeps the parsers' recursion a small part of the stack, with
// sanitizers too.
constexpr int largest_nesting_depth = 1000;

// Throws an import_error naming the file and the line of the first element nested deeper than
// largest_nesting_depth, counting start tags that are not closed at once and end tags, outside
// comments, CDATA sections, processing instructions and quoted attribute values. A document
// type declaration is refused as well: its entities could expand into elements that this count
// does not see, and SBML does not use one.
void check_xml_nesting(const std::string& text, const char* file_name);

// Throws an import_error naming the file and the line of the first array or object nested
// deeper than largest_nesting_depth, brackets inside strings aside.
void check_json_nesting(const std::string& text, const char* file_name);
