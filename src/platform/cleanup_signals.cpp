// SPDX-License-Identifier: MIT
#include "platform/cleanup_signals.h"

#include <signal.h>
#include <unistd.h>

#include "platform/temp_registry.h"

namespace vrs {
namespace {

// Async-signal-safe: lock-free atomics, nanosleep, unlink, sigaction,
// sigprocmask, raise and _exit only.
extern "C" void onSignal(int signal) {
    removeRegisteredTemps();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigset_t self;
    sigemptyset(&self);
    sigaddset(&self, signal);
    // The signal is held while its handler runs: let the raised one through.
    if (sigaction(signal, &fallback, nullptr) == 0 &&
        sigprocmask(SIG_UNBLOCK, &self, nullptr) == 0) {
        raise(signal);
    }
    _exit(128 + signal);  // reached only if the default action did not end us
}

void install(int signal) {
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
        return;  // nohup and background jobs ask to be left running
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigfillset(&action.sa_mask);  // one handler at a time
    // Only fails for a bad signal number; these are all valid.
    [[maybe_unused]] const int rc = sigaction(signal, &action, nullptr);
}

}  // namespace

void removeTempsOnSignals() {
    for (const int signal : kTerminatingSignals) {
        install(signal);
    }
}

}  // namespace vrs
