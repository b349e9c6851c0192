#include "parser/declarations.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

struct section {
    const std::vector<std::string>& names;
    const char* key;
};

// Warns about every name met before, in this section or an earlier one of the same kind.
template <typename Warn>
void warn_about_repeats(std::initializer_list<section> sections, Warn warn) {
    std::unordered_set<std::string_view> seen;
    for (const section& s : sections)
        for (const std::string& name : s.names)
            if (!seen.insert(name).second) warn(name, s.key);
}

}  // namespace

void warn_about_declarations(const std::vector<std::string>& reversible_reactions,
                             const std::vector<std::string>& irreversible_reactions,
                             const std::vector<std::string>& internal_metabolites,
                             const std::vector<std::string>& external_metabolites,
                             const std::vector<bool>& reactions_with_equation) {
    warn_about_repeats({{reversible_reactions, "-ENZREV"}, {irreversible_reactions, "-ENZIRREV"}},
                       [](const std::string& name, const char* key) {
                           printf(
                               "Warning: reaction %s is declared again under %s; its equation "
                               "fills one column only, the other stays zero.\n",
                               name.c_str(), key);
                       });
    warn_about_repeats({{internal_metabolites, "-METINT"}, {external_metabolites, "-METEXT"}},
                       [](const std::string& name, const char* key) {
                           printf(
                               "Warning: metabolite %s is declared again under %s; its "
                               "coefficients fill one row only, the other stays zero.\n",
                               name.c_str(), key);
                       });

    // The column an equation fills: the first irreversible declaration, else the first
    // reversible one.
    std::unordered_map<std::string_view, std::size_t> column;
    for (std::size_t j = 0; j < irreversible_reactions.size(); ++j)
        column.emplace(irreversible_reactions[j], j);
    for (std::size_t j = 0; j < reversible_reactions.size(); ++j)
        column.emplace(reversible_reactions[j], irreversible_reactions.size() + j);
    std::unordered_set<std::string_view> reported;
    for (const auto* list : {&reversible_reactions, &irreversible_reactions})
        for (const std::string& name : *list)
            if (!reactions_with_equation[column.at(name)] && reported.insert(name).second)
                printf("Warning: reaction %s has no equation; its column stays zero.\n",
                       name.c_str());
}
