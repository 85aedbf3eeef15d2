// SPDX-License-Identifier: MIT
// The shown region of the picture at the full image's own resolution, for
// the clipboard.
#include <limits>

#include "view/my_image_view.h"
#include "view/plane_pixels.h"

QImage MyImageView::shownPixels(std::int64_t maxPixels, QSize* tooLarge) const {
    const auto full = f_.bigImage.lock();
    if (!full || !full->rep() || vrs::NSIsEmptyRect(f_.imageRect)) {
        return {};
    }
    const vrs::PlanarBitmap& rep = *full->rep();
    const vrs::CGRect F = vrs::NSMakeRect(0, 0, full->size().width, full->size().height);
    const vrs::CGRect region =
        vrs::NSIsEmptyRect(f_.clipedRect) ? F : vrs::NSMapRect(f_.clipedRect, f_.imageRect, F);
    const vrs::PixelBox box = vrs::pixelBoxFor(region, rep.width(), rep.height());
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
