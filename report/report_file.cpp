#include "report/report_file.h"

#include <cstdlib>

void close_report_or_stop(FILE* file, const char* name) {
    // The stream buffers the report, so a full disk often shows only when the rest is flushed.
    bool failed = fflush(file) != 0;
    if (ferror(file)) failed = true;
    if (fclose(file) != 0) failed = true;
    if (failed) {
        printf(
            "\nThe report file %s could not be written completely.\nProgramm prematurely "
            "finished.\n",
            name);
        fflush(stdout);
        exit(1);
    }
}
