// SPDX-License-Identifier: MIT
#include "view/screen_image.h"

#include <cstdint>
#include <new>
#include <utility>

#include "platform/huge_block.h"
#include "platform/page_advice.h"

namespace {

void releaseBlock(void* info) {
    delete static_cast<vrs::HugeBlock*>(info);
}

}  // namespace

QImage makeScreenImage(int width, int height) {
    if (width <= 0 || height <= 0 || width > INT32_MAX / 4) {
        return {};
    }
    const auto bytesPerLine = static_cast<std::size_t>(width) * 4;
    const std::size_t size = bytesPerLine * static_cast<std::size_t>(height);
    vrs::HugeBlock block = vrs::HugeBlock::make(size);
    if (block.empty()) {
        return {};
    }
    // Backed now in one call: huge pages where the kernel has them, else one
    // call instead of a fault per page as the pixels are written.
    [[maybe_unused]] const bool backed = vrs::backForWrite(block.data(), size);
    uchar* const pixels = block.data();
    auto* info = new (std::nothrow) vrs::HugeBlock(std::move(block));
    if (info == nullptr) {
        return {};
    }
    QImage image(pixels, width, height, static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32,
                 &releaseBlock, info);
    if (image.isNull()) {
        releaseBlock(info);
        return {};
    }
    return image;
}
