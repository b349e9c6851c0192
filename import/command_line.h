#pragma once

#include <string>

#include "import/conversion.h"

struct import_command {
    std::string model_file;
    std::string network_file;
    import_options options;
};

// Reads "MODEL NETWORK_FILE [--drop REACTION]... [--external METABOLITE]... [--exchange
// boundary|external]"; an option's value may also follow it after "=". Returns false after the
// usage text, or a message naming the fault, on standard output.
bool read_command_line(int argc, const char* const* argv, import_command& command);
