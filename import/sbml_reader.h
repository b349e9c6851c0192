#pragma once

#include <string>

#include "import/model.h"

// Reads an SBML document of level 2 or 3 from its text: the species with their boundary
// condition, and each reaction with its net stoichiometry, its reversible attribute and the flux
// bounds of the fbc package (version 1 flux bounds or version 2 bound parameters) where the
// model gives them. Throws an import_error naming the element for a document that is malformed
// or uses what a stoichiometric network cannot hold (stoichiometry given by a formula, a level
// 1 document).
metabolic_model read_sbml(const std::string& text, const char* file_name);
