#include "driver/escalation.h"

#include <cstdio>
#include <iostream>

void announce_escalation(const char* stage, const char* width) {
    std::cout << std::flush;
    printf("\nInteger overflow in %s: computing it again with %s integers.\n", stage, width);
    fflush(stdout);
}
