#include "matrix/overflow.h"

#include <cstdio>
#include <cstdlib>

void integer_overflow(const char* stage) {
    printf(
        "\nInteger overflow in %s: the network's coefficients are too large for 32-bit "
        "arithmetic.\nProgramm prematurely finished.\n",
        stage);
    fflush(stdout);
    exit(1);
}
