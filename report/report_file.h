#pragma once

#include <cstdio>

// Flushes the report. When any write to it so far failed, prints that the report named name
// is incomplete and ends the program with status 1.
void flush_report_or_stop(FILE* file, const char* name);

// Flushes and closes a report file. When any write to it failed or it cannot be closed, prints
// that the report named name is incomplete and ends the program with status 1.
void close_report_or_stop(FILE* file, const char* name);
