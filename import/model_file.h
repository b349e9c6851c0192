#pragma once

#include <cstdint>
#include <string>

#include "import/model.h"

// The default of --max-inflated, 1 GiB: well above published genome-scale models, which stay
// below a few hundred megabytes, and low enough that a small file inflating to gigabytes is
// refused after seconds, holding no more than about twice the limit in memory.
constexpr std::uint64_t default_max_inflated = std::uint64_t{1} << 30;

// Reads a model from the file's content, gzip-compressed or not (inflated to at most
// max_inflated bytes), and tells SBML from JSON by its content: an XML document is read as
// SBML, a JSON object as a COBRA model. Messages name the file as file_name. Throws an
// import_error for content that is neither or that its reader refuses.
metabolic_model read_model_text(std::string text, const char* file_name,
                                std::uint64_t max_inflated);

// Reads the model file named file_name as read_model_text does. Throws an import_error also
// when the file cannot be read, after the file reader printed why.
metabolic_model read_model_file(const char* file_name, std::uint64_t max_inflated);
