#pragma once

#include <string>
#include <vector>

#include "import/model.h"
#include "import/network.h"

// The choices of the command line. Reactions and metabolites are named by their model id, with
// or without the SBML prefix R_ or M_.
struct import_options {
    std::vector<std::string> dropped_reactions;
    std::vector<std::string> external_metabolites;
    exchange_rule exchange = exchange_rule::boundary_metabolite;
};

// The direction a reaction keeps in the network.
enum class direction { reversible, forward, backward, blocked };

// From the flux bounds where the model gives them: reversible when the lower bound is below
// zero and the upper above; forward when the lower is at or above zero; backward when the lower
// is below zero and the upper at or below; blocked when both are zero or the lower lies above
// the upper. Otherwise (and always for MASSpy's _reversible) from the model's own flag.
direction direction_of(const model_reaction& reaction);

// Applies the import rules to the model: leaves out dropped, blocked and empty reactions (and
// exchange reactions under exchange_rule::external), writes backward reactions the other way
// round, makes boundary species and the chosen metabolites external, puts an external
// <metabolite>_b on the empty side of the remaining exchange reactions, scales each reaction to
// whole coefficients, leaves out the metabolites no kept reaction uses, and names everything as
// the network file can hold it. source describes the model file for the header. Throws an
// import_error for an option that names nothing in the model, a coefficient that cannot be
// scaled, and a network without reactions or internal metabolites.
converted_network convert_model(const metabolic_model& model, const import_options& options,
                                const std::string& source);
