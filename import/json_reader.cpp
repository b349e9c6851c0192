#include "import/json_reader.h"

#include <strings.h>

#include <array>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "import/import_error.h"
#include "import/nesting.h"
#include "import/stoichiometry.h"
#include "import/text_position.h"

namespace {

// Keeps the order of the file's keys, so that a reaction's metabolites stay in file order.
using json = nlohmann::ordered_json;

// Builds the tree with the library's own builder (of its detail namespace, there since version
// 3.2), and keeps where the text went wrong: the library's exceptions do not all carry the
// position (a number beyond the range of a double does not).
class located_tree_builder : public nlohmann::detail::json_sax_dom_parser<json> {
   public:
    explicit located_tree_builder(json& root) : json_sax_dom_parser(root, false) {}

    // Called by the parser in place of the base's, which throws.
    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& error) {
        error_position = position;
        error_text = error.what();
        return json_sax_dom_parser::parse_error(position, token, error);
    }

    std::size_t error_position = 0;
    std::string error_text;
};

// The library's message without its exception name ("[json.exception.parse_error.101] ") and
// the position it gives itself ("parse error at line 1, column 5: ").
std::string library_message(const std::string& what) {
    const std::size_t name_end = what.find("] ");
    std::string message = name_end == std::string::npos ? what : what.substr(name_end + 2);
    if (message.compare(0, 11, "parse error") == 0 && message.find(": ") != std::string::npos)
        message.erase(0, message.find(": ") + 2);
    return message;
}

void remove_last_child(json& container) noexcept {
    if (container.is_array())
        container.get_ref<json::array_t&>().pop_back();
    else
        container.get_ref<json::object_t&>().pop_back();
}

// Empties the tree from its leaves up, one value at a time, so that no step allocates. The
// library's own destructor gathers the children of a container on a heap stack; when the tree
// is let go because memory ran out, the std::bad_alloc of that stack would end the program. The
// path from the root fits a fixed array, as the nesting was checked before the text was parsed.
void release_tree(json& root) noexcept {
    std::array<json*, largest_nesting_depth + 1> path;
    std::size_t depth = 0;
    path[0] = &root;
    for (;;) {
        json& node = *path[depth];
        if (!node.is_structured() || node.empty()) {
            if (depth == 0) return;
            remove_last_child(*path[--depth]);
            continue;
        }
        json& last = node.back();
        if (last.is_structured() && !last.empty() && depth + 1 < path.size())
            path[++depth] = &last;
        else
            remove_last_child(node);
    }
}

// A parsed document, let go without allocating.
struct parsed_document {
    json root;
    parsed_document() = default;
    parsed_document(const parsed_document&) = delete;
    parsed_document& operator=(const parsed_document&) = delete;
    ~parsed_document() { release_tree(root); }
};

// Parses the text into document. Throws an import_error with the file, the line, the column and
// the library's message for text that is no JSON, or a number beyond the range of a double.
void parse_json(const std::string& text, const char* file_name, json& document) {
    check_json_nesting(text, file_name);
    located_tree_builder builder(document);
    if (json::sax_parse(text, &builder)) return;
    // The library counts the bytes read up to the faulty one, from 1.
    const text_position at =
        position_in(text, builder.error_position > 0 ? builder.error_position - 1 : 0);
    refuse("%s, line %zu, column %zu: %s", file_name, at.line, at.column,
           library_message(builder.error_text).c_str());
}

const json& member(const json& object, const char* key, const char* what, const std::string& id) {
    const auto found = object.find(key);
    if (found == object.end()) refuse("%s %s has no \"%s\".", what, id.c_str(), key);
    return *found;
}

std::string id_of(const json& element, const char* what, std::size_t position) {
    if (!element.is_object()) refuse("%s number %zu is not a JSON object.", what, position + 1);
    const auto id = element.find("id");
    if (id == element.end() || !id->is_string() || id->get<std::string>().empty())
        refuse("%s number %zu has no \"id\" text.", what, position + 1);
    return id->get<std::string>();
}

// A bound: a number, or a text naming an infinite one ("inf", "-Infinity"), as some writers
// put the values JSON numbers cannot hold.
double bound_value(const json& value, const char* key, const std::string& reaction) {
    if (value.is_number()) return value.get<double>();
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        const bool negative = !text.empty() && text[0] == '-';
        const char* magnitude = text.c_str() + (negative || (!text.empty() && text[0] == '+'));
        if (strcasecmp(magnitude, "inf") == 0 || strcasecmp(magnitude, "infinity") == 0)
            return negative ? -HUGE_VAL : HUGE_VAL;
    }
    refuse("Reaction %s: its \"%s\" is not a number.", reaction.c_str(), key);
}

std::optional<double> optional_bound(const json& reaction, const char* key, const std::string& id) {
    const auto found = reaction.find(key);
    if (found == reaction.end() || found->is_null()) return std::nullopt;
    return bound_value(*found, key, id);
}

}  // namespace

metabolic_model read_json(const std::string& text, const char* file_name) {
    parsed_document parsed;
    const json& document = parsed.root;
    parse_json(text, file_name, parsed.root);
    if (!document.is_object()) refuse("%s: the JSON text is not an object.", file_name);
    metabolic_model result;
    result.format = "COBRA JSON";
    if (const auto id = document.find("id"); id != document.end() && id->is_string())
        result.id = id->get<std::string>();

    const json& metabolites = member(document, "metabolites", "Model", file_name);
    const json& reactions = member(document, "reactions", "Model", file_name);
    if (!metabolites.is_array()) refuse("%s: \"metabolites\" is not a list.", file_name);
    if (!reactions.is_array()) refuse("%s: \"reactions\" is not a list.", file_name);

    std::set<std::string> metabolite_ids;
    for (std::size_t i = 0; i < metabolites.size(); ++i) {
        const std::string id = id_of(metabolites[i], "Metabolite", i);
        if (!metabolite_ids.insert(id).second)
            refuse("Metabolite %s is declared twice.", id.c_str());
        result.species.push_back({id, false});
    }

    std::set<std::string> reaction_ids;
    for (std::size_t i = 0; i < reactions.size(); ++i) {
        const json& reaction = reactions[i];
        model_reaction read;
        read.id = id_of(reaction, "Reaction", i);
        if (!reaction_ids.insert(read.id).second)
            refuse("Reaction %s is declared twice.", read.id.c_str());

        const json& coefficients = member(reaction, "metabolites", "Reaction", read.id);
        if (!coefficients.is_object())
            refuse("Reaction %s: its \"metabolites\" is not an object.", read.id.c_str());
        net_stoichiometry net(read.id);
        for (const auto& [metabolite, coefficient] : coefficients.items()) {
            if (metabolite_ids.count(metabolite) == 0)
                refuse("Reaction %s names the metabolite %s, which the model does not declare.",
                       read.id.c_str(), metabolite.c_str());
            if (!coefficient.is_number())
                refuse("Reaction %s: the coefficient of %s is not a number.", read.id.c_str(),
                       metabolite.c_str());
            net.add(metabolite, coefficient.get<double>());
        }
        read.stoichiometry = net.entries();

        if (const auto flag = reaction.find("_reversible"); flag != reaction.end()) {
            if (!flag->is_boolean())
                refuse("Reaction %s: its \"_reversible\" is not true or false.", read.id.c_str());
            read.reversible = flag->get<bool>();
            read.flag_decides = true;
            result.format = "MASSpy JSON";
        } else {
            // cobrapy's own defaults for a bound the file leaves out.
            read.bounds =
                flux_bounds{optional_bound(reaction, "lower_bound", read.id).value_or(0),
                            optional_bound(reaction, "upper_bound", read.id).value_or(1000)};
        }
        result.reactions.push_back(std::move(read));
    }
    return result;
}
