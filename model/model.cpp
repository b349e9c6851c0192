#include "model/model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "matrix/allocation.h"
#include "matrix/flags.h"
#include "matrix/reshape.h"
#include "model/module_values.h"

namespace {

// Names of reactions in column order and metabolites in row order of N.
std::vector<const std::string*> names_in_order(const std::vector<std::string>& first,
                                               const std::vector<std::string>& second) {
    std::vector<const std::string*> names;
    for (const std::string& name : first) names.push_back(&name);
    for (const std::string& name : second) names.push_back(&name);
    return names;
}

// Drops the fraction of every coefficient; an integer part outside the 32-bit range has no
// integer coefficient and is refused. The table is metabolites x reactions, row by row.
std::vector<int> truncate_coefficients(const network_file& file,
                                       const std::vector<const std::string*>& reactions,
                                       const std::vector<const std::string*>& mets) {
    // Row by row, so that of several coefficients out of range the first in the table is named.
    for (const auto& [position, coefficient] : file.coefficients) {
        const double value = std::trunc(coefficient.value);
        if (!(value >= -2147483648.0 && value <= 2147483647.0)) {
            printf(
                "The coefficient %s of metabolite %s in reaction %s does not fit a 32-bit "
                "integer.\nCheck your input file.\n",
                coefficient.written.c_str(), mets[position.first]->c_str(),
                reactions[position.second]->c_str());
            exit(1);
        }
    }
    std::vector<int> table(mets.size() * reactions.size());
    for (const auto& [position, coefficient] : file.coefficients)
        table[position.first * reactions.size() + position.second] =
            static_cast<int>(std::trunc(coefficient.value));
    return table;
}

enc* enzyme_list(const std::vector<const std::string*>& reactions, std::size_t irreversible) {
    enc* list = new_met_list();
    enc* node = list;
    for (std::size_t j = 0; j < reactions.size(); ++j) {
        node = insert_node_after(node);
        node->flag = j < irreversible ? 1 : 0;
        node->number = static_cast<int>(j) + 1;
        node->name = *reactions[j];
    }
    return list;
}

enc* metabolite_list(const std::vector<const std::string*>& mets, std::size_t internal,
                     const mat* n, const simple_vector* rev) {
    enc* list = new_met_list();
    enc* node = list;
    for (int m = 0; m < n->rows; ++m) {
        node = insert_node_after(node);
        node->flag = static_cast<std::size_t>(m) < internal ? 0 : 1;
        node->number = m + 1;
        node->name = *mets[m];
        metabolites[m] = mets[m]->c_str();
        for (int j = 0; j < n->columns; ++j) {
            int x = n->head[m][j];
            if (x == 0) continue;
            ++node->reactions;
            if (x < 0) ++node->cons;
            if (x > 0) ++node->built;
            node->reaction_kinds += rev->head[j] == 1 ? 'i' : 'r';
        }
        mets_cumul[m] = node->reactions;
    }
    return list;
}

}  // namespace

network_model build_model(const network_file& file) {
    const auto reactions = names_in_order(file.irreversible_reactions, file.reversible_reactions);
    const auto mets = names_in_order(file.internal_metabolites, file.external_metabolites);
    enzyme_counter = static_cast<int>(reactions.size());
    met_counter = static_cast<int>(mets.size());
    metabolites.assign(mets.size(), nullptr);
    mets_cumul.assign(mets.size(), 0);

    network_model model;
    model.integer_table = truncate_coefficients(file, reactions, mets);

    model.N.reset(zero_alloc_array<mat>(1, "N not allocated"));
    model.N->rows = met_counter;
    model.N->columns = enzyme_counter;
    // A network without metabolites is refused by getrev below, with the reader's zero-amount
    // message; the row-pointer array therefore always gets at least one slot.
    model.N->head = zero_alloc_array<int*>(mets.empty() ? 1 : mets.size(), "N->head not allocated");
    for (int m = 0; m < met_counter; ++m)
        model.N->head[m] =
            model.integer_table.data() + static_cast<std::size_t>(m) * enzyme_counter;

    model.enzymes.reset(enzyme_list(reactions, file.irreversible_reactions.size()));
    model.rev.reset(getrev(model.enzymes.get()));
    model.metabolite_list.reset(
        metabolite_list(mets, file.internal_metabolites.size(), model.N.get(), model.rev.get()));
    model.ext.reset(getrev(model.metabolite_list.get()));
    model.Nint.reset(cutnex(model.N.get(), model.ext.get()));
    return model;
}
