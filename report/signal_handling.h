#pragma once

#include <signal.h>

#include <initializer_list>

// Signals around a file written through a temporary one: the file and its registration with the
// handler are made with the signals blocked, and the handler settles the file before the signal
// ends the program.

// Blocks the signals; returns the mask to restore with sigprocmask(SIG_SETMASK, ...).
sigset_t block_signals(std::initializer_list<int> signals);

// Has handler run on each of the signals that the program was not started to ignore (as under
// nohup), with all of them blocked while it runs.
void catch_signals(std::initializer_list<int> signals, void (*handler)(int));
