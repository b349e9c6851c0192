#include "import/sbml_reader.h"

#include <sbml/SBMLTypes.h>
#include <sbml/packages/fbc/common/FbcExtensionTypes.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "import/import_error.h"
#include "import/stoichiometry.h"

LIBSBML_CPP_NAMESPACE_USE

namespace {

// The first error of the document (XML or SBML syntax), refused with its line.
void refuse_reading_errors(const SBMLDocument& document, const char* file_name) {
    for (unsigned int i = 0; i < document.getNumErrors(); ++i) {
        const SBMLError* error = document.getError(i);
        if (error->getSeverity() < LIBSBML_SEV_ERROR) continue;
        std::string message = error->getMessage();
        message.erase(message.find_last_not_of(" \n") + 1);
        refuse("%s, line %u: %s", file_name, error->getLine(), message.c_str());
    }
}

// The value of a bound parameter of fbc version 2.
double bound_parameter(const Model& model, const std::string& id, const std::string& reaction) {
    const Parameter* parameter = model.getParameter(id);
    if (parameter == nullptr)
        refuse("Reaction %s: its flux bound %s is no parameter of the model.", reaction.c_str(),
               id.c_str());
    if (!parameter->isSetValue() || std::isnan(parameter->getValue()))
        refuse("Reaction %s: its flux bound parameter %s has no value.", reaction.c_str(),
               id.c_str());
    return parameter->getValue();
}

// The flux bounds of fbc version 1, a list beside the reactions: reaction id -> (lower, upper).
using bound_pair = std::pair<std::optional<double>, std::optional<double>>;

std::map<std::string, bound_pair> version_1_bounds(const FbcModelPlugin& fbc, const Model& model) {
    std::map<std::string, bound_pair> bounds;
    for (unsigned int i = 0; i < fbc.getNumFluxBounds(); ++i) {
        const FluxBound* bound = fbc.getFluxBound(i);
        const std::string& reaction = bound->getReaction();
        if (model.getReaction(reaction) == nullptr)
            refuse("Flux bound %s names the reaction %s, which the model does not have.",
                   bound->getId().c_str(), reaction.c_str());
        const double value = bound->getValue();
        if (std::isnan(value))
            refuse("Flux bound of reaction %s: its value is not a number.", reaction.c_str());
        bound_pair& pair = bounds[reaction];
        switch (bound->getFluxBoundOperation()) {
            case FLUXBOUND_OPERATION_LESS_EQUAL:
            case FLUXBOUND_OPERATION_LESS:
                pair.second = value;
                break;
            case FLUXBOUND_OPERATION_GREATER_EQUAL:
            case FLUXBOUND_OPERATION_GREATER:
                pair.first = value;
                break;
            case FLUXBOUND_OPERATION_EQUAL:
                pair.first = value;
                pair.second = value;
                break;
            default:
                refuse("Flux bound of reaction %s: its operation is unknown.", reaction.c_str());
        }
    }
    return bounds;
}

double stoichiometry_of(const SpeciesReference& reference, unsigned int level,
                        const std::string& reaction) {
    if (reference.isSetStoichiometryMath())
        refuse("Reaction %s: the stoichiometry of %s is a formula, which is not supported.",
               reaction.c_str(), reference.getSpecies().c_str());
    // Level 3 has no default stoichiometry; level 2's is 1.
    if (level >= 3 && !reference.isSetStoichiometry())
        refuse("Reaction %s: the stoichiometry of %s is not set.", reaction.c_str(),
               reference.getSpecies().c_str());
    return reference.getStoichiometry();
}

}  // namespace

metabolic_model read_sbml(const std::string& text, const char* file_name) {
    const std::unique_ptr<SBMLDocument> document(readSBMLFromString(text.c_str()));
    if (document == nullptr) refuse("%s: the SBML document cannot be read.", file_name);
    refuse_reading_errors(*document, file_name);
    const unsigned int level = document->getLevel();
    if (level < 2)
        refuse("%s: SBML level %u is not supported; levels 2 and 3 are.", file_name, level);
    const Model* model = document->getModel();
    if (model == nullptr) refuse("%s: the SBML document holds no model.", file_name);

    metabolic_model result;
    result.id = model->getId();
    const auto* fbc = dynamic_cast<const FbcModelPlugin*>(model->getPlugin("fbc"));
    const unsigned int fbc_version = fbc != nullptr ? fbc->getPackageVersion() : 0;
    result.format = "SBML level " + std::to_string(level) + " version " +
                    std::to_string(document->getVersion());
    if (fbc_version > 0) result.format += ", fbc version " + std::to_string(fbc_version);

    std::set<std::string> species_ids;
    for (unsigned int i = 0; i < model->getNumSpecies(); ++i) {
        const Species* species = model->getSpecies(i);
        if (!species_ids.insert(species->getId()).second)
            refuse("Species %s is declared twice.", species->getId().c_str());
        result.species.push_back({species->getId(), species->getBoundaryCondition()});
    }

    std::map<std::string, bound_pair> listed_bounds;
    if (fbc_version == 1) listed_bounds = version_1_bounds(*fbc, *model);

    std::set<std::string> reaction_ids;
    for (unsigned int i = 0; i < model->getNumReactions(); ++i) {
        const Reaction* reaction = model->getReaction(i);
        const std::string& id = reaction->getId();
        if (!reaction_ids.insert(id).second) refuse("Reaction %s is declared twice.", id.c_str());
        model_reaction read;
        read.id = id;
        // Level 2's reversible attribute defaults to true; level 3 asks for it.
        read.reversible = !reaction->isSetReversible() || reaction->getReversible();

        net_stoichiometry net(id);
        const auto add = [&](const SpeciesReference& reference, double sign) {
            const std::string& species = reference.getSpecies();
            if (species_ids.count(species) == 0)
                refuse("Reaction %s names the species %s, which the model does not declare.",
                       id.c_str(), species.c_str());
            net.add(species, sign * stoichiometry_of(reference, level, id));
        };
        for (unsigned int k = 0; k < reaction->getNumReactants(); ++k)
            add(*reaction->getReactant(k), -1.0);
        for (unsigned int k = 0; k < reaction->getNumProducts(); ++k)
            add(*reaction->getProduct(k), 1.0);
        read.stoichiometry = net.entries();

        bound_pair given;
        if (fbc_version == 1) {
            const auto found = listed_bounds.find(id);
            if (found != listed_bounds.end()) given = found->second;
        } else if (fbc_version >= 2) {
            const auto* bounds = dynamic_cast<const FbcReactionPlugin*>(reaction->getPlugin("fbc"));
            if (bounds != nullptr && bounds->isSetLowerFluxBound())
                given.first = bound_parameter(*model, bounds->getLowerFluxBound(), id);
            if (bounds != nullptr && bounds->isSetUpperFluxBound())
                given.second = bound_parameter(*model, bounds->getUpperFluxBound(), id);
        }
        // A reaction with one bound only is open on the other side, except that an
        // irreversible one does not run backwards.
        if (given.first || given.second) {
            const double open_lower = read.reversible ? -HUGE_VAL : 0.0;
            read.bounds =
                flux_bounds{given.first.value_or(open_lower), given.second.value_or(HUGE_VAL)};
        } else if (level >= 3 && !reaction->isSetReversible()) {
            refuse("Reaction %s has neither flux bounds nor the reversible attribute.", id.c_str());
        }
        result.reactions.push_back(std::move(read));
    }
    return result;
}
