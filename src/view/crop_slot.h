// SPDX-License-Identifier: MIT
// One crop of the full image: the region asked for and, once finished, its
// pixels at full resolution. Cut on a drawing thread, read on the main thread
// only after finished() is true.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "decode/planar_bitmap.h"
#include "geometry/geometry.h"
#include "view/plane_pixels.h"

class CropSlot {
  public:
    // `region` in full-image coordinates (y-up); `box` the pixels it touches.
    CropSlot(vrs::CGRect region, vrs::PixelBlock box) : region_(region), box_(box) {}

    vrs::CGRect region() const { return region_; }
    vrs::PixelBlock box() const { return box_; }
    // 0xffRRGGBB words, box().width per row; empty when the crop could not be
    // cut. Read only once finished() is true.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

    // Cuts the crop on the calling thread, a band of rows at a time, and stops
    // early when cancelled.
    void cut(const vrs::PlanarBitmap& bitmap);
    // Release store of the flag that the pixels are complete; acquire load.
    void finish() { finished_.store(true, std::memory_order_release); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Asks a cut under way to stop; its pixels are then never drawn.
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    const std::atomic<bool>& cancelled() const { return cancelled_; }

  private:
    const vrs::CGRect region_;
    const vrs::PixelBlock box_;
    std::vector<std::uint32_t> pixels_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> cancelled_{false};
};
