// SPDX-License-Identifier: MIT
// An image: a size in points (equal to pixels here) and its one planar bitmap.
// Images are shared by std::shared_ptr; a null pointer is "no image".
#pragma once

#include <memory>

#include "decode/planar_bitmap.h"

namespace vrs {

struct ImageSize {
    double width = 0;
    double height = 0;
};

class Image {
  public:
    Image(ImageSize size, std::shared_ptr<PlanarBitmap> rep) : size_(size), rep_(std::move(rep)) {}

    ImageSize size() const { return size_; }
    // The first (and only) representation.
    const std::shared_ptr<PlanarBitmap>& rep() const { return rep_; }

  private:
    ImageSize size_;
    std::shared_ptr<PlanarBitmap> rep_;
};

}  // namespace vrs
