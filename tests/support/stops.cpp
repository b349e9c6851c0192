#include "tests/support/stops.h"

#include <unistd.h>

#include <cstdio>

void route_stdout_to_captured_stream() {
    fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

std::string zero_amount(const std::string& label) {
    return "\namount for allocation is zero : " + label + "\nProgramm prematurely finished.\n";
}
