// SPDX-License-Identifier: MIT
// A terminating signal while a program of ours writes: every temporary file
// of the process is removed, then the signal ends the process as it would
// have without the handler (its own status, a core for SIGQUIT). Only for
// the programs themselves (vrstool, vrsview): code that runs inside another
// program installs no handler.
#pragma once

namespace vrs {

// Installs the handlers for kTerminatingSignals (temp_registry.h); a signal
// the process ignores (nohup, a viewer that ignores SIGPIPE) stays ignored.
void removeTempsOnSignals();

}  // namespace vrs
