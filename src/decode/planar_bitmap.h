// SPDX-License-Identifier: MIT
// An 8-bit RGBA bitmap held as four planes (red, green, blue, alpha), one byte
// per pixel in each, row 0 at the top. Every plane row is bytesPerRow() long:
// (4 x width + 16) with the low four bits cleared, of which the first width
// bytes hold samples.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vrs {

class PlanarBitmap {
  public:
    static constexpr int kPlanes = 4;

    PlanarBitmap(const PlanarBitmap&) = delete;
    PlanarBitmap& operator=(const PlanarBitmap&) = delete;
    ~PlanarBitmap();

    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }
    std::int64_t bytesPerRow() const { return bytesPerRow_; }
    std::size_t planeSize() const { return planeSize_; }
    // Start of each plane in the order red, green, blue, alpha; null when the
    // bitmap is empty. The fifth entry is always null.
    void getBitmapDataPlanes(std::uint8_t* planes[5]) const;
    // Tells the kernel that every byte of the planes is about to be written
    // (a whole-plane fill), so that huge pages may back them at no cost in
    // memory. Only advice: the contents do not change.
    void willWriteWholePlanes() const;
    std::uint8_t* plane(int index) const { return planes_[static_cast<std::size_t>(index)]; }

  private:
    friend std::shared_ptr<PlanarBitmap> MakeNewImageRep(std::int64_t width, std::int64_t height);
    PlanarBitmap() = default;

    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::int64_t bytesPerRow_ = 0;
    std::size_t planeSize_ = 0;
    std::array<std::uint8_t*, kPlanes> planes_{};
};

// (4 x width + 16) & ~15, or -1 when width is negative or the product overflows.
std::int64_t planarBytesPerRow(std::int64_t width);

// A new bitmap of width x height pixels with planes cleared to 0, or nothing
// when a size is negative, a size computation overflows or the memory cannot
// be had. A zero width or height gives an empty bitmap. Never throws.
std::shared_ptr<PlanarBitmap> MakeNewImageRep(std::int64_t width, std::int64_t height);

}  // namespace vrs
