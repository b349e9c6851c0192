#include "report/report_file.h"

#include <cstdlib>

namespace {

[[noreturn]] void report_incomplete(const char* name) {
    printf("\nThe report file %s could not be written completely.\nProgramm prematurely finished.\n",
           name);
    fflush(stdout);
    exit(1);
}

}  // namespace

void flush_report_or_stop(FILE* file, const char* name) {
    // The stream buffers the report, so a full disk often shows only when it is flushed; the
    // error flag also keeps every earlier failed write.
    if (fflush(file) != 0 || ferror(file)) report_incomplete(name);
}

void close_report_or_stop(FILE* file, const char* name) {
    bool failed = fflush(file) != 0;
    if (ferror(file)) failed = true;
    if (fclose(file) != 0) failed = true;
    if (failed) report_incomplete(name);
}
