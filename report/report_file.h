#pragma once

#include <cstdio>

// Opens the report named name for writing. A regular file, or a name not taken yet, is written
// to a temporary file in the same folder, which replaces the report only when the program
// ends, with status 0 or 1 alike, or is stopped by SIGHUP, SIGINT, SIGTERM or SIGABRT: the
// sections written (flushed) so far are kept, two runs on one report leave one whole report,
// and no temporary file stays behind. A device, a pipe or a symbolic link is written directly.
// Returns nullptr with errno set when the report cannot be opened for writing. Called once per
// program.
FILE* open_report_file(const char* name);

// The file that holds the report named name until the program ends: the temporary file while
// there is one, else name itself. Sections appended after the report was closed go there.
const char* report_file_in_use(const char* name);

// Flushes the report. When any write to it so far failed, prints that the report named name
// is incomplete and ends the program with status 1.
void flush_report_or_stop(FILE* file, const char* name);

// Flushes and closes a report file. When any write to it failed or it cannot be closed, prints
// that the report named name is incomplete and ends the program with status 1.
void close_report_or_stop(FILE* file, const char* name);
