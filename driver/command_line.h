#pragma once

#include <string>

#include "parser/network_file.h"

// The names a run is started with.
struct run_names {
    std::string invocation;  // argv[0], for the report banner
    std::string input;       // the network file
    std::string output;      // the report
};

// Exactly two file names, which must name different files; otherwise the usage text, or the
// same-file message, and status 1.
run_names get_filein_fileout(int argc, char** argv);

// KESTRANE_THREADS sets how many threads the mode iteration uses (default, also when it is set
// but empty: every core); a value that is not a whole number from 1 to 1024 stops the run with its
// message and status 1.
void use_threads_from_environment();

// The network file as the reader hands it back; a file the reader refuses (its message is
// printed) stops the run with status 1.
network_file read_network(const std::string& name);
