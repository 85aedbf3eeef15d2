// SPDX-License-Identifier: MIT
// The shown region of the picture at the full image's own resolution, for
// the clipboard.
#include <limits>

#include "view/my_image_view.h"
#include "view/plane_pixels.h"

QImage MyImageView::shownPixels(std::int64_t maxPixels, QSize* tooLarge) const {
    const auto full = bigImage_.lock();
    const auto f = frame();
    if (!full || !full->rep() || !f) {
        return {};
    }
    const vrs::PlanarBitmap& rep = *full->rep();
    const vrs::PixelBlock box = vrs::pixelBoxFor(f->fullRegion, rep.width(), rep.height());
    if (box.empty()) {
        return {};
    }
    constexpr std::int64_t kMaxSide = std::numeric_limits<int>::max() / 4;
    if (box.width > kMaxSide || box.height > kMaxSide || box.width > maxPixels / box.height) {
        if (tooLarge != nullptr) {
            *tooLarge = QSize(static_cast<int>(std::min(box.width, kMaxSide)),
                              static_cast<int>(std::min(box.height, kMaxSide)));
        }
        return {};
    }
    QImage pixels(static_cast<int>(box.width), static_cast<int>(box.height), QImage::Format_RGB32);
    if (pixels.isNull()) {
        return {};
    }
    vrs::copyToRgb32(rep, box, reinterpret_cast<std::uint32_t*>(pixels.bits()),
                     static_cast<std::size_t>(pixels.bytesPerLine()) / 4);
    return pixels;
}
