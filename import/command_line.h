#pragma once

#include <cstdint>
#include <string>

#include "import/conversion.h"
#include "import/model_file.h"

struct import_command {
    std::string model_file;
    std::string network_file;
    import_options options;
    std::uint64_t max_inflated = default_max_inflated;  // bytes a compressed model may inflate to
};

// Reads "MODEL NETWORK_FILE [--drop REACTION]... [--external METABOLITE]... [--exchange
// boundary|external] [--max-inflated SIZE]"; an option's value may also follow it after "=".
// SIZE is a number of bytes, or of KiB, MiB or GiB with the suffix K, M or G. Returns false
// after a message naming the fault, followed by the usage text, on standard output (the usage
// text alone for -h and --help).
bool read_command_line(int argc, const char* const* argv, import_command& command);
