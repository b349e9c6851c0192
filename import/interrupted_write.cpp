#include "import/interrupted_write.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "report/replacement_file.h"
#include "report/signal_handling.h"

namespace {

// The temporary file that a stopping signal removes. A plain character array and a flag, so
// that the signal handler may read them.
char* pending_path = nullptr;
volatile sig_atomic_t pending = 0;

constexpr std::initializer_list<int> stopping_signals = {SIGHUP, SIGINT, SIGTERM};

void remove_pending_and_stop(int signal_number) {
    if (pending) unlink(pending_path);
    signal(signal_number, SIG_DFL);
    raise(signal_number);
}

}  // namespace

FILE* open_replacement_removed_on_signal(const char* name, std::string& temporary_path) {
    // The temporary file and its registration are made and ended with the signals blocked.
    const sigset_t previous = block_signals(stopping_signals);
    FILE* file = open_replacement_file(name, temporary_path);
    const int error = errno;
    if (file != nullptr && !temporary_path.empty()) {
        static const bool caught = (catch_signals(stopping_signals, remove_pending_and_stop), true);
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
    const sigset_t previous = block_signals(stopping_signals);
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
