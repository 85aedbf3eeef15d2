// SPDX-License-Identifier: MIT
// The temporary files this process is writing, in a fixed table that a
// signal handler can read without locks: removeRegisteredTemps() only loads
// atomics and calls unlink, so it is async-signal-safe. Several threads may
// each hold a temporary file at once.
#pragma once

#include <signal.h>

namespace vrs {

// The signals that end a process and after which no temporary file of ours
// may be left: interrupt, termination, a closed terminal, quit, a broken pipe.
inline constexpr int kTerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

// Records a temporary file's path; returns its slot, or -1 when the table is
// full or the path too long (the file is then not removed by a signal).
int registerTemp(const char* path);
// Forgets a slot once its file is renamed or removed. -1 is ignored.
void unregisterTemp(int slot);
// Brackets the making and recording of a temporary file, with signals held
// on the calling thread. A handler running meanwhile on another thread waits
// for the bracket to close, so it finds the file recorded. begin is false
// once a handler has begun: the process is ending, make no file.
bool beginTempCreation();
void endTempCreation();
// Removes every recorded file, after any bracket open on another thread has
// closed. Async-signal-safe; for a handler about to _exit.
void removeRegisteredTemps();

}  // namespace vrs
