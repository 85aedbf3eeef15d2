#include "decode/decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "decode/decode_progress.h"
#include "decode/image_factory.h"
#include "decode/view_sampler.h"

namespace vrs {
namespace {

struct PlaneSet {
    std::uint8_t* planes[5] = {};
    std::int64_t bytesPerRow = 0;

    explicit PlaneSet(const PlanarBitmap& bitmap) : bytesPerRow(bitmap.bytesPerRow()) {
        bitmap.getBitmapDataPlanes(planes);
    }
    bool empty() const { return planes[0] == nullptr; }
    std::uint8_t* row(int plane, std::int64_t y) const { return planes[plane] + y * bytesPerRow; }
};

std::shared_ptr<Image> makeImageObject(ImageSize size, std::shared_ptr<PlanarBitmap> rep) {
    try {
        return std::make_shared<Image>(size, std::move(rep));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ImageSize sizeOf(std::int64_t width, std::int64_t height) {
    return {static_cast<double>(width), static_cast<double>(height)};
}

// Every row of the full image, each sampled into the view as it goes by.
template <typename DecodeRow>
void decodeRows(const std::uint8_t* rows, std::int64_t height, std::int64_t stride,
                const PlaneSet& full, const PlaneSet& view, ViewSampler& sampler,
                DecodeProgress* progress, DecodeRow decodeRow) {
    for (std::int64_t y = 0; y < height; ++y) {
        std::uint8_t* red = full.row(0, y);
        std::uint8_t* green = full.row(1, y);
        std::uint8_t* blue = full.row(2, y);
        decodeRow(rows + y * stride, red, green, blue);
        const std::int64_t vy = sampler.viewRowFor(y);
        if (vy >= 0 && !view.empty()) {
            // The view's alpha is already 255 from its fill.
            sampler.sampleRow(red, view.row(0, vy));
            sampler.sampleRow(green, view.row(1, vy));
            sampler.sampleRow(blue, view.row(2, vy));
        }
        if (progress != nullptr) {
            progress->afterRow(y);
        }
    }
}

void fillAlpha(const PlaneSet& full, std::int64_t width, std::int64_t height) {
    for (std::int64_t y = 0; y < height; ++y) {
        std::memset(full.row(3, y), 255, static_cast<std::size_t>(width));
    }
}

void decodePixels(const std::uint8_t* rows, std::int64_t width, std::int64_t height,
                  std::int64_t depth, std::int64_t stride, const PlaneSet& full,
                  const PlaneSet& view, const ViewSize& viewSize, DecodeProgress& progress) {
    if ((depth != 32 && depth != 16) || full.empty()) {
        return;  // other depths decode nothing; an empty picture has nothing to decode
    }
    ViewSampler sampler(viewSize, width);
    fillAlpha(full, width, height);
    if (depth == 32) {
        decodeRows(rows, height, stride, full, view, sampler, nullptr,
                   [width](const std::uint8_t* src, std::uint8_t* r, std::uint8_t* g,
                           std::uint8_t* b) { decodeRow32(src, width, r, g, b); });
    } else {
        decodeRows(rows, height, stride, full, view, sampler, &progress,
                   [width](const std::uint8_t* src, std::uint8_t* r, std::uint8_t* g,
                           std::uint8_t* b) { decodeRow16(src, width, r, g, b); });
    }
}

}  // namespace

ViewSize viewSizeFor(std::int64_t width, std::int64_t height) {
    ViewSize view;
    if (width > kViewMaxWidth || height > kViewMaxHeight) {
        if (height > width) {
            view.scale = static_cast<double>(kViewMaxHeight) / static_cast<double>(height);
        } else {
            view.scale =
                std::min(static_cast<double>(kViewMaxWidth) / static_cast<double>(width), 1.0);
        }
    }
    view.width = static_cast<std::int64_t>(static_cast<double>(width) * view.scale);
    view.height = static_cast<std::int64_t>(static_cast<double>(height) * view.scale);
    return view;
}

const ImageFactory& defaultImageFactory() {
    static const ImageFactory factory{&MakeNewImageRep, &makeImageObject};
    return factory;
}

std::shared_ptr<Image> decodeWithFactory(const ImageFactory& factory, const std::uint8_t* rows,
                                         std::int64_t width, std::int64_t height,
                                         std::int64_t depth, std::int64_t stride,
                                         std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                         Host& host) {
    std::shared_ptr<PlanarBitmap> fullRep = factory.makeBitmap(width, height);
    if (!fullRep) {
        host.alert("MakeNewImageRep is nil");
        return nullptr;
    }
    std::shared_ptr<Image> fullImage = factory.makeImage(sizeOf(width, height), fullRep);
    if (!fullImage) {
        host.alert("Data2NSImage new image is nil");
        return nullptr;
    }
    const ViewSize viewSize = viewSizeFor(width, height);
    std::shared_ptr<PlanarBitmap> viewRep = factory.makeBitmap(viewSize.width, viewSize.height);
    if (!viewRep) {
        host.alert("MakeNewViewImageRep is nil");
        return nullptr;
    }
    std::shared_ptr<Image> view =
        factory.makeImage(sizeOf(viewSize.width, viewSize.height), viewRep);
    if (viewImage != nullptr) {
        *viewImage = view;
    }
    if (!view) {
        host.alert("Data2NSImage new view_image is nil");
        return nullptr;
    }
    const PlaneSet viewPlanes(*view->rep());
    for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
        if (viewPlanes.planes[i] != nullptr) {
            std::memset(viewPlanes.planes[i], 255, view->rep()->planeSize());
        }
    }
    DecodeProgress decodeProgress(host, progress, width, height);
    const PlaneSet fullPlanes(*fullImage->rep());
    decodePixels(rows, width, height, depth, stride, fullPlanes, viewPlanes, viewSize,
                 decodeProgress);
    decodeProgress.finish();
    return fullImage;
}

std::shared_ptr<Image> Data2NSImage(const std::uint8_t* rows, std::int64_t width,
                                    std::int64_t height, std::int64_t depth, std::int64_t stride,
                                    std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                    Host& host) {
    return decodeWithFactory(defaultImageFactory(), rows, width, height, depth, stride, viewImage,
                             progress, host);
}

}  // namespace vrs
