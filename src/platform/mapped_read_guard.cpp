// SPDX-License-Identifier: MIT
#include "platform/mapped_read_guard.h"

#include <setjmp.h>
#include <signal.h>

#include <cstdint>

namespace vrs {
namespace {

// The armed range of one thread and where a fault inside it returns to.
struct Armed {
    sigjmp_buf jump;
    std::uintptr_t begin;
    std::uintptr_t end;
};

// The signal handler reads it on the thread that faulted, which is the
// thread that armed it: a fault is delivered to the thread that caused it.
thread_local Armed* volatile tArmed = nullptr;

struct sigaction gPrevious {};

void onBus(int signal, siginfo_t* info, void* /*context*/) {
    Armed* const armed = tArmed;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (armed != nullptr && info->si_code > 0 && address >= armed->begin && address < armed->end) {
        siglongjmp(armed->jump, 1);
    }
    // Not ours: the handler before us (or the default, which ends the
    // process) takes this signal. A fault repeats when the read is retried
    // on return; a signal sent by someone is sent again.
    if (sigaction(signal, &gPrevious, nullptr) != 0 || info->si_code <= 0) {
        raise(signal);
    }
}

bool installOnce() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = &onBus;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        return sigemptyset(&action.sa_mask) == 0 && sigaction(SIGBUS, &action, &gPrevious) == 0;
    }();
    return installed;
}

}  // namespace

bool readMappedWith(const void* begin, std::size_t length, MappedWork work, void* context) {
    if (!installOnce()) {
        work(context);  // no handler: a fault ends the process, as it did before
        return true;
    }
    Armed armed;
    armed.begin = reinterpret_cast<std::uintptr_t>(begin);
    armed.end = armed.begin + length;
    Armed* const outer = tArmed;
    // The mask is saved: the handler runs with SIGBUS blocked, and the jump
    // back must unblock it.
    if (sigsetjmp(armed.jump, 1) != 0) {
        tArmed = outer;
        return false;
    }
    tArmed = &armed;
    work(context);
    tArmed = outer;
    return true;
}

}  // namespace vrs
