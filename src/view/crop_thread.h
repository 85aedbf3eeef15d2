// SPDX-License-Identifier: MIT
// The drawing thread of deep zoom: cuts a region out of the full image at full
// resolution. The thread and the view share the crop slot and the thread holds
// its own reference to the full image, so the view (and the document that
// owns the image) may go away while a crop is being cut.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "decode/image.h"
#include "geometry/geometry.h"
#include "view/plane_pixels.h"

// One crop: the region asked for and, once `done` reads 1, its pixels.
class CropSlot {
  public:
    // `region` in full-image coordinates (y-up); `box` the pixels it touches.
    CropSlot(vrs::CGRect region, vrs::PixelBox box) : region_(region), box_(box) {}

    vrs::CGRect region() const { return region_; }
    vrs::PixelBox box() const { return box_; }
    // 0xffRRGGBB words, box().width per row. Read only after done() is true.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    // Acquire load of the flag the drawing thread sets (release) when the
    // pixels are complete.
    bool done() const { return done_.load(std::memory_order_acquire) != 0; }

    // Called on the drawing thread when the crop is done, while the owner
    // cannot go away. The owner clears it before it is destroyed.
    void setNotify(std::function<void(const std::shared_ptr<CropSlot>&)> notify);
    void clearNotify() { setNotify(nullptr); }

    // Cuts the crop on the calling thread.
    void cut(const vrs::PlanarBitmap& bitmap);
    // Sets the flag and tells the owner, if it is still there.
    void finish(const std::shared_ptr<CropSlot>& self);

  private:
    const vrs::CGRect region_;
    const vrs::PixelBox box_;
    std::vector<std::uint32_t> pixels_;
    std::atomic<int> done_{0};
    std::mutex notifyMutex_;
    std::function<void(const std::shared_ptr<CropSlot>&)> notify_;
};

// Starts a detached drawing thread that cuts `slot` from `fullImage` and then
// finishes it. False when no thread could be started.
bool startCropThread(std::shared_ptr<CropSlot> slot, std::shared_ptr<vrs::Image> fullImage);

// Drawing threads that have not yet ended (they may outlive their view).
int cropThreadsRunning();

// Tests: every drawing thread started from now on calls `gate` before it cuts,
// so a test can hold a crop under way for as long as it needs. Null: none.
void setCropThreadGate(std::function<void()> gate);
