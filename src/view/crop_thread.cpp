// SPDX-License-Identifier: MIT
#include "view/crop_thread.h"

#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace {

std::atomic<int> threadsRunning{0};
std::mutex gateMutex;
std::function<void()> gate;

std::function<void()> currentGate() {
    const std::lock_guard<std::mutex> lock(gateMutex);
    return gate;
}

}  // namespace

void setCropThreadGate(std::function<void()> newGate) {
    const std::lock_guard<std::mutex> lock(gateMutex);
    gate = std::move(newGate);
}

void CropSlot::setNotify(std::function<void(const std::shared_ptr<CropSlot>&)> notify) {
    const std::lock_guard<std::mutex> lock(notifyMutex_);
    notify_ = std::move(notify);
}

void CropSlot::cut(const vrs::PlanarBitmap& bitmap) {
    if (box_.empty()) {
        return;
    }
    try {
        pixels_.resize(static_cast<std::size_t>(box_.width) *
                       static_cast<std::size_t>(box_.height));
    } catch (const std::bad_alloc&) {
        pixels_.clear();
        return;
    }
    vrs::copyToRgb32(bitmap, box_, pixels_.data(), static_cast<std::size_t>(box_.width));
}

void CropSlot::finish(const std::shared_ptr<CropSlot>& self) {
    done_.store(1, std::memory_order_release);
    const std::lock_guard<std::mutex> lock(notifyMutex_);
    if (notify_) {
        notify_(self);
    }
}

bool startCropThread(std::shared_ptr<CropSlot> slot, std::shared_ptr<vrs::Image> fullImage) {
    if (!slot || !fullImage || !fullImage->rep()) {
        return false;
    }
    threadsRunning.fetch_add(1, std::memory_order_relaxed);
    try {
        std::thread([slot = std::move(slot), fullImage = std::move(fullImage),
                     wait = currentGate()]() mutable {
            if (wait) {
                wait();
            }
            slot->cut(*fullImage->rep());
            fullImage.reset();
            slot->finish(slot);
            slot.reset();
            threadsRunning.fetch_sub(1, std::memory_order_release);
        }).detach();
    } catch (const std::system_error&) {
        threadsRunning.fetch_sub(1, std::memory_order_relaxed);
        return false;
    }
    return true;
}

int cropThreadsRunning() {
    return threadsRunning.load(std::memory_order_acquire);
}
