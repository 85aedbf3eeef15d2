// SPDX-License-Identifier: MIT
#include "cli/cleanup_signals.h"

#include <signal.h>
#include <unistd.h>

#include "platform/temp_registry.h"

namespace vrs::cli {
namespace {

// Async-signal-safe: lock-free atomics, nanosleep, unlink and _exit only.
extern "C" void onSignal(int signal) {
    removeRegisteredTemps();
    _exit(128 + signal);
}

void install(int signal) {
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
        return;  // nohup and background jobs ask to be left running
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigfillset(&action.sa_mask);  // one handler at a time
    // Only fails for a bad signal number; these two are valid.
    [[maybe_unused]] const int rc = sigaction(signal, &action, nullptr);
}

}  // namespace

void removeTempsOnSignals() {
    install(SIGINT);
    install(SIGTERM);
}

}  // namespace vrs::cli
