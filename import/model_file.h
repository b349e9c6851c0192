#pragma once

#include "import/model.h"

// Reads the model file named file_name, gzip-compressed or not, and tells SBML from JSON by its
// content: an XML document is read as SBML, a JSON object as a COBRA model. Throws an
// import_error for a file that cannot be read or is neither.
metabolic_model read_model_file(const char* file_name);
