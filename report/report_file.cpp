#include "report/report_file.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "report/replacement_file.h"
#include "report/signal_handling.h"

namespace {

// The report written through a temporary file. Plain character arrays and a flag, so that the
// signal handler may read them.
const char* temporary_path = nullptr;
const char* report_path = nullptr;
FILE* temporary_stream = nullptr;  // open until the report is closed
volatile sig_atomic_t temporary_pending = 0;

// The signals that end a run with the report kept as far as it was flushed.
constexpr std::initializer_list<int> stopping_signals = {SIGHUP, SIGINT, SIGTERM, SIGABRT};

// Keeps the report as far as it was flushed, then lets the signal end the program.
void on_stopping_signal(int signal_number) {
    if (temporary_pending) {
        rename(temporary_path, report_path);
        temporary_pending = 0;
    }
    signal(signal_number, SIG_DFL);
    raise(signal_number);
}

void print_report_incomplete(const char* name) {
    printf(
        "\nThe report file %s could not be written completely.\nProgramm prematurely finished.\n",
        name);
    fflush(stdout);
}

[[noreturn]] void report_incomplete(const char* name) {
    print_report_incomplete(name);
    exit(1);
}

// Run at the end of the program, whatever its status: the temporary file, closed, replaces the
// report. If it cannot, it is removed and the program ends with status 1.
void replace_report() {
    if (!temporary_pending) return;
    const sigset_t previous = block_signals(stopping_signals);
    if (temporary_stream != nullptr) fclose(temporary_stream);
    temporary_stream = nullptr;
    const bool replaced = rename(temporary_path, report_path) == 0;
    if (!replaced) unlink(temporary_path);
    temporary_pending = 0;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (!replaced) {
        // Inside exit(), so the status is set with _exit.
        fflush(stdout);
        print_report_incomplete(report_path);
        _exit(1);
    }
}

char* copy_of(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace

FILE* open_report_file(const char* name) {
    // No signal may come between the making of the temporary file and its registration.
    const sigset_t previous = block_signals(stopping_signals);
    std::string path;
    FILE* stream = open_replacement_file(name, path);
    if (stream != nullptr && !path.empty()) {
        temporary_path = copy_of(path);
        report_path = copy_of(name);
        temporary_stream = stream;
        temporary_pending = 1;
        static const bool registered = [] {
            catch_signals(stopping_signals, on_stopping_signal);
            return atexit(replace_report) == 0;
        }();
        (void)registered;
    }
    const int error = errno;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return stream;
}

const char* report_file_in_use(const char* name) {
    if (temporary_pending && std::strcmp(name, report_path) == 0) return temporary_path;
    return name;
}

void flush_report_or_stop(FILE* file, const char* name) {
    // The stream buffers the report, so a full disk often shows only when it is flushed; the
    // error flag also keeps every earlier failed write.
    if (fflush(file) != 0 || ferror(file)) report_incomplete(name);
}

void close_report_or_stop(FILE* file, const char* name) {
    bool failed = fflush(file) != 0;
    if (ferror(file)) failed = true;
    if (file == temporary_stream) temporary_stream = nullptr;
    if (fclose(file) != 0) failed = true;
    if (failed) report_incomplete(name);
}
