#include "import/json_reader.h"

#include <strings.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "import/import_error.h"
#include "import/stoichiometry.h"

namespace {

// Keeps the order of the file's keys, so that a reaction's metabolites stay in file order.
using json = nlohmann::ordered_json;

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
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        refuse("%s: %s", file_name, error.what());
    }
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
