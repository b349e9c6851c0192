#include "driver/escalation.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void announce_escalation(const char* stage, const char* width) {
    std::cout << std::flush;
    printf("\nInteger overflow in %s: computing it again with %s integers.\n", stage, width);
    fflush(stdout);
}

void widest_overflow(const char* stage) {
    std::cout << std::flush;
    printf(
        "\nInteger overflow stopped the computation of %s: the network's coefficients are too "
        "large for 128-bit arithmetic, and this build has no unbounded integers.\n"
        "Programm prematurely finished.\n",
        stage);
    fflush(stdout);
    exit(1);
}
