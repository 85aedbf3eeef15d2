// SPDX-License-Identifier: MIT
// How the decoder makes its bitmaps and image objects. The default makes them
// with MakeNewImageRep and std::make_shared; tests swap in a factory that
// fails at a chosen step, since real allocation failures cannot be staged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "decode/image.h"
#include "decode/row_layout.h"
#include "platform/host.h"

namespace vrs {

struct ImageFactory {
    std::function<std::shared_ptr<PlanarBitmap>(std::int64_t width, std::int64_t height)>
        makeBitmap;
    std::function<std::shared_ptr<Image>(ImageSize size, std::shared_ptr<PlanarBitmap> rep)>
        makeImage;
};

// MakeNewImageRep, and an image object that is null when memory runs out.
const ImageFactory& defaultImageFactory();

// Data2NSImage with the bitmaps and images made by `factory`.
std::shared_ptr<Image> decodeWithFactory(const ImageFactory& factory, const std::uint8_t* data,
                                         const RowLayout& layout, std::shared_ptr<Image>* viewImage,
                                         std::int64_t* progress, Host& host,
                                         bool* fileChanged = nullptr, int fd = -1);

}  // namespace vrs
