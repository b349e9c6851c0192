#include "report/signal_handling.h"

namespace {

sigset_t signal_set(std::initializer_list<int> signals) {
    sigset_t set;
    sigemptyset(&set);
    for (int s : signals) sigaddset(&set, s);
    return set;
}

}  // namespace

sigset_t block_signals(std::initializer_list<int> signals) {
    const sigset_t blocked = signal_set(signals);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    return previous;
}

void catch_signals(std::initializer_list<int> signals, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = signal_set(signals);
    for (int s : signals) {
        struct sigaction current {};
        // A signal the program was started to ignore stays ignored.
        if (sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}
