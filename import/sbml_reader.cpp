#include "import/sbml_reader.h"

#include <sbml/SBMLTypes.h>
#include <sbml/packages/fbc/common/FbcExtensionTypes.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "import/import_error.h"
#include "import/nesting.h"
#include "import/stoichiometry.h"
#include "import/text_position.h"
#include "import/xml_syntax.h"

LIBSBML_CPP_NAMESPACE_USE

namespace {

// libSBML gives its errors about the XML declaration the line where its reading ended; they
// belong to the declaration, which the message quotes.
bool is_about_declaration(unsigned int error_id) {
    return error_id == MissingXMLEncoding || error_id == BadXMLDecl ||
           error_id == BadXMLDeclLocation || error_id == NotUTF8;
}

// The first error of the document (XML or SBML syntax), refused with its line.
void refuse_reading_errors(const SBMLDocument& document, const std::string& text,
                           const char* file_name) {
    for (unsigned int i = 0; i < document.getNumErrors(); ++i) {
        const SBMLError* error = document.getError(i);
        if (error->getSeverity() < LIBSBML_SEV_ERROR) continue;
        std::string message = error->getMessage();
        message.erase(message.find_last_not_of(" \n") + 1);
        const std::size_t declaration = text.find("<?xml");
        if (is_about_declaration(error->getErrorId()) && declaration != std::string::npos) {
            // Up to its end or the end of its line, whichever comes first.
            const std::size_t end = text.find_first_of("\n>", declaration);
            const std::size_t length = end == std::string::npos || text[end] == '\n'
                                           ? end - declaration
                                           : end - declaration + 1;
            refuse("%s, line %zu, in the XML declaration %s: %s", file_name,
                   position_in(text, declaration).line, text.substr(declaration, length).c_str(),
                   message.c_str());
        }
        refuse("%s, line %u: %s", file_name, error->getLine(), message.c_str());
    }
}

// The level or the version that the <sbml> element declares, white space around it aside.
// Throws an import_error when it declares none, or no whole number of at most three digits.
unsigned int declared_number(const xml_root& root, const char* name, const char* file_name) {
    const auto found = root.attributes.find(name);
    if (found == root.attributes.end())
        refuse("%s, line %d: the <sbml> element does not declare its %s.", file_name, root.line,
               name);
    const std::string& text = found->second;
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    const std::string digits =
        first == std::string::npos ? "" : text.substr(first, last - first + 1);
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        refuse("%s, line %d: the <sbml> element declares the %s \"%s\", which is no SBML %s.",
               file_name, root.line, name, text.c_str(), name);
    return static_cast<unsigned int>(std::stoul(digits));
}

// The namespace of the level and version among those libSBML supports, or "" when it supports
// no such pair. (libSBML's getSBMLNamespaceURI gives the latest version's for an unknown one.)
std::string sbml_namespace(unsigned int level, unsigned int version) {
    const List* supported = SBMLNamespaces::getSupportedNamespaces();
    std::string uri;
    for (unsigned int i = 0; i < supported->getSize(); ++i) {
        const auto* candidate = static_cast<const SBMLNamespaces*>(supported->get(i));
        if (candidate->getLevel() == level && candidate->getVersion() == version)
            uri = candidate->getURI();
    }
    SBMLNamespaces::freeSBMLNamespaces(const_cast<List*>(supported));
    return uri;
}

// The <sbml> element must declare a level and a version, in their namespace. libSBML reports
// a fault here for most documents, but throws from inside its reader for some elements
// (stoichiometryMath), losing the document and the memory it held.
void check_sbml_element(const xml_root& root, const char* file_name) {
    if (root.name != "sbml") return;  // libSBML names the element it expected
    const unsigned int level = declared_number(root, "level", file_name);
    const unsigned int version = declared_number(root, "version", file_name);
    const std::string expected = sbml_namespace(level, version);
    if (root.name_space == expected) return;
    if (expected.empty())
        refuse(
            "%s, line %d: the <sbml> element declares level %u, version %u, which libSBML does "
            "not know.",
            file_name, root.line, level, version);
    refuse(
        "%s, line %d: the <sbml> element declares level %u, version %u, whose namespace is %s, "
        "not %s.",
        file_name, root.line, level, version, expected.c_str(),
        root.name_space.empty() ? "none" : root.name_space.c_str());
}

// The document as libSBML reads it, after the checks that keep libSBML from recursing too deep
// and that name the errors of XML syntax and of the namespace. libSBML may still throw from
// inside its reader when it cannot build an element.
std::unique_ptr<SBMLDocument> read_document(const std::string& text, const char* file_name) {
    check_xml_nesting(text, file_name);
    check_sbml_element(check_xml_syntax(text, file_name), file_name);
    try {
        std::unique_ptr<SBMLDocument> document(readSBMLFromString(text.c_str()));
        if (document == nullptr) refuse("%s: the SBML document cannot be read.", file_name);
        refuse_reading_errors(*document, text, file_name);
        return document;
    } catch (const SBMLConstructorException& error) {
        refuse("%s: libSBML cannot build an element of the document: %s.", file_name, error.what());
    }
}

// The value of a bound parameter of fbc version 2.
double bound_parameter(const Model& model, const std::string& id, const std::string& reaction,
                       const char* file_name) {
    const Parameter* parameter = model.getParameter(id);
    if (parameter == nullptr)
        refuse("Reaction %s: its flux bound %s is no parameter of the model.", reaction.c_str(),
               id.c_str());
    if (!parameter->isSetValue())
        refuse("%s, line %u: the parameter %s, a flux bound of reaction %s, has no value.",
               file_name, parameter->getLine(), id.c_str(), reaction.c_str());
    if (std::isnan(parameter->getValue()))
        refuse(
            "%s, line %u: the parameter %s, a flux bound of reaction %s, has the value NaN, "
            "not a number.",
            file_name, parameter->getLine(), id.c_str(), reaction.c_str());
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
    const std::unique_ptr<SBMLDocument> document = read_document(text, file_name);
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
                given.first = bound_parameter(*model, bounds->getLowerFluxBound(), id, file_name);
            if (bounds != nullptr && bounds->isSetUpperFluxBound())
                given.second = bound_parameter(*model, bounds->getUpperFluxBound(), id, file_name);
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
