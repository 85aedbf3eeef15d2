// SPDX-License-Identifier: MIT
// SIGINT and SIGTERM while vrstool writes: every temporary file of the
// process is removed and it exits with 128 + the signal (130, 143).
#pragma once

namespace vrs::cli {

// Installs the handlers; a signal the process was started ignoring stays ignored.
void removeTempsOnSignals();

}  // namespace vrs::cli
