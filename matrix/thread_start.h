#pragma once

#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// Starting the threads that share a computation. A system that cannot start one more thread (too
// little address space for its stack, too many threads) makes the computation go on with the
// threads it has: the results are the same, only slower.

// Says on the console, once in a run, that a thread could not be started.
void note_thread_not_started();

// Starts a thread running `f` at the end of `threads`; false, with the note, when the system
// refuses to start it.
template <typename Function>
bool start_thread(std::vector<std::thread>& threads, Function&& f) {
    try {
        threads.emplace_back(std::forward<Function>(f));
        return true;
    } catch (const std::system_error&) {
        note_thread_not_started();
        return false;
    }
}
