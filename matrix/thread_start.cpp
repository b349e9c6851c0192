#include "matrix/thread_start.h"

#include <atomic>
#include <cstdio>
#include <iostream>

void note_thread_not_started() {
    static std::atomic<bool> noted{false};
    if (noted.exchange(true)) return;
    std::cout << std::flush;
    printf("\nThe system would not start every thread asked for: the run goes on with fewer.\n");
    fflush(stdout);
}
