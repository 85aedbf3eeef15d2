// The temporary files this process is writing, in a fixed table that a
// signal handler can read without locks: removeRegisteredTemps() only loads
// atomics and calls unlink, so it is async-signal-safe. Several threads may
// each hold a temporary file at once.
#pragma once

namespace vrs {

// Records a temporary file's path; returns its slot, or -1 when the table is
// full or the path too long (the file is then not removed by a signal).
int registerTemp(const char* path);
// Forgets a slot once its file is renamed or removed. -1 is ignored.
void unregisterTemp(int slot);
// Removes every recorded file. Async-signal-safe; for a handler about to _exit.
void removeRegisteredTemps();

}  // namespace vrs
