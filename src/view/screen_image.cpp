// SPDX-License-Identifier: MIT
#include "view/screen_image.h"

#include <cstdint>

#include "platform/huge_pages.h"
#include "platform/page_advice.h"

namespace {

void releaseBlock(void* info) {
    auto* block = static_cast<vrs::LargeBlock*>(info);
    vrs::unmapLargeBlock(*block);
    delete block;
}

}  // namespace

QImage makeScreenImage(int width, int height) {
    if (width <= 0 || height <= 0 || width > INT32_MAX / 4) {
        return {};
    }
    const auto bytesPerLine = static_cast<std::size_t>(width) * 4;
    const std::size_t size = bytesPerLine * static_cast<std::size_t>(height);
    const vrs::LargeBlock block = vrs::mapLargeBlock(size);
    if (block.data == nullptr) {
        return {};
    }
    // Backed now in one call: huge pages where the kernel has them, else one
    // call instead of a fault per page as the pixels are written.
    [[maybe_unused]] const bool backed = vrs::backForWrite(block.data, size);
    auto* info = new vrs::LargeBlock(block);
    QImage image(static_cast<uchar*>(block.data), width, height,
                 static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32, &releaseBlock, info);
    if (image.isNull()) {
        releaseBlock(info);
        return {};
    }
    return image;
}
