#include "import/interrupted_write.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "report/replacement_file.h"

namespace {

// The temporary file that a stopping signal removes. A plain character array and a flag, so
// that the signal handler may read them.
char* pending_path = nullptr;
volatile sig_atomic_t pending = 0;

const int stopping_signals[] = {SIGHUP, SIGINT, SIGTERM};

void remove_pending_and_stop(int signal_number) {
    if (pending) unlink(pending_path);
    signal(signal_number, SIG_DFL);
    raise(signal_number);
}

// Blocks the stopping signals and returns the mask to restore: the temporary file and its
// registration are made and ended together.
sigset_t block_stopping_signals() {
    sigset_t stopping;
    sigemptyset(&stopping);
    for (int s : stopping_signals) sigaddset(&stopping, s);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stopping, &previous);
    return previous;
}

void catch_stopping_signals() {
    struct sigaction action {};
    action.sa_handler = remove_pending_and_stop;
    sigemptyset(&action.sa_mask);
    for (int s : stopping_signals) sigaddset(&action.sa_mask, s);
    for (int s : stopping_signals) {
        struct sigaction current {};
        // A signal the program was started to ignore (nohup) stays ignored.
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

}  // namespace

FILE* open_replacement_removed_on_signal(const char* name, std::string& temporary_path) {
    const sigset_t previous = block_stopping_signals();
    FILE* file = open_replacement_file(name, temporary_path);
    const int error = errno;
    if (file != nullptr && !temporary_path.empty()) {
        static const bool caught = (catch_stopping_signals(), true);
        (void)caught;
        pending_path = strdup(temporary_path.c_str());
        pending = pending_path != nullptr;
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return file;
}

bool finish_replacement(const std::string& temporary_path, const char* name, bool keep) {
    if (temporary_path.empty()) return true;
    const sigset_t previous = block_stopping_signals();
    const bool renamed = keep && rename(temporary_path.c_str(), name) == 0;
    const int error = errno;
    if (!renamed) unlink(temporary_path.c_str());
    pending = 0;
    free(pending_path);
    pending_path = nullptr;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return renamed || !keep;
}
