#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// A metabolite of the model as read: its id as written in the model, and whether the model
// declares it a boundary species (SBML boundaryCondition="true"), which is not balanced.
struct model_species {
    std::string id;
    bool boundary = false;
};

// The flux bounds of a reaction; either may be infinite.
struct flux_bounds {
    double lower = 0.0;
    double upper = 0.0;
};

// A reaction of the model as read. The stoichiometry holds net coefficients (consumed species
// negative), one entry per species in the order the model first names them, none of them zero.
// Bounds stay empty when the model gives none; reversible is the model's own flag (the SBML
// reversible attribute, MASSpy's _reversible), which decides alone when flag_decides is set.
struct model_reaction {
    std::string id;
    std::vector<std::pair<std::string, double>> stoichiometry;
    std::optional<flux_bounds> bounds;
    bool reversible = true;
    bool flag_decides = false;
};

// A whole model: what kind of file it came from ("SBML level 3 version 1, fbc version 2",
// "COBRA JSON", ...), its id, and its species and reactions in model order.
struct metabolic_model {
    std::string format;
    std::string id;
    std::vector<model_species> species;
    std::vector<model_reaction> reactions;
};
