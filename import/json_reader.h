#pragma once

#include <string>

#include "import/model.h"

// Reads a COBRA JSON model (cobrapy, BiGG) from its text: the metabolites, and each reaction
// with its net stoichiometry and its bounds, which take cobrapy's defaults (0 and 1000) where
// the file leaves them out. In MASSpy's variant a reaction's _reversible decides its
// reversibility. Throws an import_error naming the element for a file that is no such model.
metabolic_model read_json(const std::string& text, const char* file_name);
