// SPDX-License-Identifier: MIT
#include "decode/decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "decode/decode_pass.h"
#include "decode/image_factory.h"

namespace vrs {
namespace {

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

std::shared_ptr<Image> decodeWithFactory(const ImageFactory& factory, const std::uint8_t* data,
                                         const RowLayout& layout, std::shared_ptr<Image>* viewImage,
                                         std::int64_t* progress, Host& host, bool* fileChanged,
                                         int fd) {
    const std::int64_t width = layout.width;
    const std::int64_t height = layout.height;
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
    view->rep()->fillPlanes(255);
    DecodeProgress decodeProgress(host, progress, width, height);
    const bool whole =
        decodePass({data, layout, fd}, *fullImage->rep(), *view->rep(), decodeProgress);
    decodeProgress.finish();
    if (!whole) {
        if (viewImage != nullptr) {
            viewImage->reset();
        }
        if (fileChanged != nullptr) {
            *fileChanged = true;
        }
        return nullptr;
    }
    return fullImage;
}

std::shared_ptr<Image> Data2NSImage(const std::uint8_t* data, const RowLayout& layout,
                                    std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                    Host& host, bool* fileChanged, int fd) {
    return decodeWithFactory(defaultImageFactory(), data, layout, viewImage, progress, host,
                             fileChanged, fd);
}

}  // namespace vrs
