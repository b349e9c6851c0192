#include "import/conversion.h"

#include <algorithm>
#include <map>
#include <set>

#include "import/import_error.h"
#include "import/naming.h"
#include "import/scaling.h"

namespace {

bool is_sbml(const metabolic_model& model) { return model.format.compare(0, 4, "SBML") == 0; }

// Positions of the elements an option names: the id itself, or the id with the prefix before
// it. Throws an import_error for a name the model does not have.
template <typename Element>
std::set<std::size_t> named_positions(const std::vector<Element>& elements,
                                      const std::vector<std::string>& names,
                                      const std::string& prefix, const char* option,
                                      const char* kind) {
    std::set<std::size_t> positions;
    for (const std::string& name : names) {
        const auto named = [&](const std::string& wanted) {
            return std::find_if(elements.begin(), elements.end(),
                                [&](const Element& e) { return e.id == wanted; });
        };
        auto found = named(name);
        if (found == elements.end()) found = named(prefix + name);
        if (found == elements.end())
            refuse("%s %s: the model has no %s of this id.", option, name.c_str(), kind);
        positions.insert(static_cast<std::size_t>(found - elements.begin()));
    }
    return positions;
}

// Whether a name is more than the id without its prefix.
bool is_renamed(const std::string& name, const std::string& id, const std::string& prefix) {
    return name != id && prefix + name != id;
}

// A reaction kept for the network, before it is named and scaled.
struct kept_reaction {
    std::size_t position;  // in the model
    bool reversible;
    bool exchange;                                             // every metabolite on one side
    std::vector<std::pair<std::size_t, double>> coefficients;  // species position, value
};

}  // namespace

direction direction_of(const model_reaction& reaction) {
    if (reaction.flag_decides || !reaction.bounds)
        return reaction.reversible ? direction::reversible : direction::forward;
    const double lower = reaction.bounds->lower;
    const double upper = reaction.bounds->upper;
    if ((lower == 0.0 && upper == 0.0) || lower > upper) return direction::blocked;
    if (lower >= 0.0) return direction::forward;
    if (upper > 0.0) return direction::reversible;
    return direction::backward;
}

converted_network convert_model(const metabolic_model& model, const import_options& options,
                                const std::string& source) {
    const std::string reaction_prefix = is_sbml(model) ? "R_" : "";
    const std::string species_prefix = is_sbml(model) ? "M_" : "";
    const auto reaction_name = [&](std::size_t r) {
        return network_name(model.reactions[r].id, reaction_prefix);
    };
    const auto species_name = [&](std::size_t s) {
        return network_name(model.species[s].id, species_prefix);
    };

    converted_network network;
    conversion_notes& notes = network.notes;
    notes.source = source;
    notes.model_id = model.id;
    notes.exchange = options.exchange;

    const std::set<std::size_t> dropped = named_positions(
        model.reactions, options.dropped_reactions, reaction_prefix, "--drop", "reaction");
    const std::set<std::size_t> chosen_external = named_positions(
        model.species, options.external_metabolites, species_prefix, "--external", "metabolite");
    std::map<std::string, std::size_t> species_position;
    std::vector<bool> external(model.species.size());
    for (std::size_t s = 0; s < model.species.size(); ++s) {
        species_position[model.species[s].id] = s;
        external[s] = model.species[s].boundary || chosen_external.count(s) != 0;
    }

    std::vector<kept_reaction> kept;
    for (std::size_t r = 0; r < model.reactions.size(); ++r) {
        const model_reaction& reaction = model.reactions[r];
        if (dropped.count(r) != 0) {
            notes.dropped.push_back(reaction_name(r));
            continue;
        }
        if (reaction.stoichiometry.empty()) {
            notes.without_metabolites.push_back(reaction_name(r));
            continue;
        }
        const direction way = direction_of(reaction);
        if (way == direction::blocked) {
            notes.blocked.push_back(reaction_name(r));
            continue;
        }
        if (reaction.flag_decides)
            notes.flag_used = true;
        else if (reaction.bounds)
            notes.bounds_used = true;
        else
            notes.attribute_used = true;

        kept_reaction k{r, way == direction::reversible, true, {}};
        const double sign = way == direction::backward ? -1.0 : 1.0;
        for (const auto& [species, value] : reaction.stoichiometry) {
            k.coefficients.emplace_back(species_position.at(species), sign * value);
            if ((value > 0) != (reaction.stoichiometry.front().second > 0)) k.exchange = false;
        }
        if (k.exchange && options.exchange == exchange_rule::external) {
            notes.exchanges_left_out.push_back(reaction_name(r));
            for (const auto& entry : k.coefficients) external[entry.first] = true;
            continue;
        }
        if (way == direction::backward) notes.backwards.push_back(reaction_name(r));
        kept.push_back(std::move(k));
    }
    if (kept.empty()) refuse("No reaction of the model is left for the network.");

    // Metabolites: the species that kept reactions use, in model order.
    std::vector<bool> used(model.species.size());
    for (const kept_reaction& k : kept)
        for (const auto& entry : k.coefficients) used[entry.first] = true;
    std::vector<std::string> species_candidates;
    for (std::size_t s = 0; s < model.species.size(); ++s)
        if (used[s]) species_candidates.push_back(species_name(s));
    unique_names metabolite_names(species_candidates);
    std::vector<std::size_t> metabolite_of(model.species.size());
    for (std::size_t s = 0; s < model.species.size(); ++s) {
        if (!used[s]) {
            notes.unused_metabolites.push_back(species_name(s));
            continue;
        }
        const std::string name = metabolite_names.take(species_name(s));
        if (is_renamed(name, model.species[s].id, species_prefix))
            notes.renamed.emplace_back(name, model.species[s].id);
        metabolite_of[s] = network.metabolites.size();
        network.metabolites.push_back({name, external[s]});
    }
    for (std::size_t s : chosen_external)
        if (used[s]) notes.made_external.push_back(network.metabolites[metabolite_of[s]].name);
    bool internal_left = false;
    for (const network_metabolite& m : network.metabolites) internal_left |= !m.external;
    if (!internal_left) refuse("No internal metabolite is left for the network.");

    std::vector<std::string> reaction_candidates;
    for (const kept_reaction& k : kept) reaction_candidates.push_back(reaction_name(k.position));
    unique_names reaction_names(reaction_candidates);
    // A species exchanged by several reactions has one boundary metabolite.
    std::map<std::size_t, std::size_t> boundary_of;
    for (const kept_reaction& k : kept) {
        const std::string& id = model.reactions[k.position].id;
        network_reaction reaction;
        reaction.name = reaction_names.take(reaction_name(k.position));
        if (is_renamed(reaction.name, id, reaction_prefix))
            notes.renamed.emplace_back(reaction.name, id);
        reaction.reversible = k.reversible;

        std::vector<double> values;
        std::vector<std::string> names;
        for (const auto& [species, value] : k.coefficients) {
            values.push_back(value);
            names.push_back(network.metabolites[metabolite_of[species]].name);
        }
        const scaled_coefficients scaled = scale_to_integers(values, names, reaction.name);
        if (scaled.factor != 1) notes.scaled.emplace_back(reaction.name, scaled.factor);
        for (std::size_t i = 0; i < values.size(); ++i)
            reaction.coefficients.emplace_back(metabolite_of[k.coefficients[i].first],
                                               scaled.values[i]);
        if (k.exchange) {
            // The boundary metabolite balances each metabolite on the empty side.
            for (std::size_t i = 0; i < values.size(); ++i) {
                const std::size_t species = k.coefficients[i].first;
                auto [boundary, is_new] = boundary_of.emplace(species, network.metabolites.size());
                if (is_new) {
                    const std::string& exchanged = network.metabolites[metabolite_of[species]].name;
                    network.metabolites.push_back({metabolite_names.take(exchanged + "_b"), true});
                }
                reaction.coefficients.emplace_back(boundary->second, -scaled.values[i]);
            }
        }
        network.reactions.push_back(std::move(reaction));
    }
    return network;
}
