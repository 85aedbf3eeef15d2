// SPDX-License-Identifier: MIT
#include "platform/temp_registry.h"

#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace vrs {
namespace {

constexpr int kSlots = 128;          // more than vrstool's 64 parallel jobs
constexpr std::size_t kPath = 4096;  // PATH_MAX

// A slot's life: Free -> Filling (only its owner touches path) -> Held ->
// Free again when its owner is done, or Removing when a handler took it
// first; a Removing slot is never reused, the process is ending.
enum State : int { Free, Filling, Held, Removing };

struct Slot {
    std::atomic<int> state{Free};
    char path[kPath]{};
};

Slot slots[kSlots];

// Temporary files being made and recorded, and kEnding once a handler began.
constexpr int kEnding = 1 << 30;
std::atomic<int> creating{0};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads these");

}  // namespace

int registerTemp(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length >= kPath) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (slots[i].state.compare_exchange_strong(expected, Filling, std::memory_order_acquire)) {
            std::memcpy(slots[i].path, path, length + 1);
            slots[i].state.store(Held, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void unregisterTemp(int slot) {
    if (slot < 0 || slot >= kSlots) {
        return;
    }
    int expected = Held;
    // Fails only when a handler is removing the file: the slot stays its own.
    slots[slot].state.compare_exchange_strong(expected, Free, std::memory_order_acq_rel);
}

bool beginTempCreation() {
    int now = creating.load(std::memory_order_acquire);
    do {
        if ((now & kEnding) != 0) {
            return false;
        }
    } while (!creating.compare_exchange_weak(now, now + 1, std::memory_order_acq_rel));
    return true;
}

void endTempCreation() {
    creating.fetch_sub(1, std::memory_order_acq_rel);
}

void removeRegisteredTemps() {
    // Files made on other threads are recorded within microseconds: wait.
    creating.fetch_or(kEnding, std::memory_order_acq_rel);
    while ((creating.load(std::memory_order_acquire) & ~kEnding) != 0) {
        const timespec pause{0, 100'000};
        nanosleep(&pause, nullptr);  // async-signal-safe; an early wake only loops
    }
    for (Slot& slot : slots) {
        int expected = Held;
        if (slot.state.compare_exchange_strong(expected, Removing, std::memory_order_acq_rel)) {
            // Already renamed or removed by its owner: nothing to do then.
            [[maybe_unused]] const int rc = unlink(slot.path);
        }
    }
}

}  // namespace vrs
