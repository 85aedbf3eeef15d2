// SPDX-License-Identifier: MIT
#include "compare/diff_images.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "compare/diff_picture.h"
#include "decode/decoder.h"
#include "decode/view_sampler.h"
#include "platform/page_advice.h"

namespace vrs {
namespace {

// Row y of a plane of a bitmap.
std::uint8_t* rowOf(const PlanarBitmap& bitmap, int plane, std::int64_t y) {
    return bitmap.plane(plane) + y * bitmap.bytesPerRow();
}

bool isChanged(const RgbRow& row, std::int64_t x) {
    return row.red[x] == DiffColours::kChanged[0] && row.green[x] == DiffColours::kChanged[1] &&
           row.blue[x] == DiffColours::kChanged[2];
}

void paint(const PlanarBitmap& planes, std::int64_t x, std::int64_t y, const std::uint8_t* colour) {
    for (int c = 0; c < 3; ++c) {
        rowOf(planes, c, y)[x] = colour[c];
    }
}

// Where the view image's pixels of a picture lie: the view column or row of
// a full-image column or row, by the sampler's truncated scale.
struct ViewScale {
    double scale;
    std::int64_t width;
    std::int64_t height;

    std::int64_t column(std::int64_t x) const {
        return std::min(static_cast<std::int64_t>(static_cast<double>(x) * scale), width - 1);
    }
    std::int64_t row(std::int64_t y) const {
        return std::min(static_cast<std::int64_t>(static_cast<double>(y) * scale), height - 1);
    }
};

// Every view pixel that a changed pixel of full row y falls on turns red.
void markChanges(const RgbRow& row, std::int64_t width, std::int64_t y, const ViewScale& view,
                 const PlanarBitmap& planes) {
    const std::int64_t vy = view.row(y);
    for (std::int64_t x = 0; x < width; ++x) {
        if (isChanged(row, x)) {
            paint(planes, view.column(x), vy, DiffColours::kChanged);
        }
    }
}

// A reduced view's outline is at least this many view pixels from a
// region's centre, so that a change of a few pixels in a huge picture still
// shows on the whole picture.
constexpr std::int64_t kLeastOutlineReach = 4;

// Each region's outline one view pixel outside the view pixels it covers,
// kept inside the view, over what is not red: at full scale, the outline
// the picture of the difference has; in a reduced view, around a small
// region, a little wider.
void outlineRegions(const std::vector<PixelBox>& regions, const ViewScale& view,
                    const PlanarBitmap& planes) {
    const std::int64_t reach = view.scale < 1 ? kLeastOutlineReach : 0;
    const auto outline = [&](std::int64_t x, std::int64_t y) {
        const std::uint8_t here[3] = {rowOf(planes, 0, y)[x], rowOf(planes, 1, y)[x],
                                      rowOf(planes, 2, y)[x]};
        if (!std::equal(here, here + 3, DiffColours::kChanged)) {
            paint(planes, x, y, DiffColours::kOutline);
        }
    };
    for (const PixelBox& box : regions) {
        if (box.empty()) {
            continue;
        }
        const std::int64_t cx = view.column((box.x0 + box.x1) / 2);
        const std::int64_t cy = view.row((box.y0 + box.y1) / 2);
        const std::int64_t left =
            std::max<std::int64_t>(std::min(view.column(box.x0) - 1, cx - reach), 0);
        const std::int64_t right =
            std::min(std::max(view.column(box.x1 - 1) + 1, cx + reach), view.width - 1);
        const std::int64_t top =
            std::max<std::int64_t>(std::min(view.row(box.y0) - 1, cy - reach), 0);
        const std::int64_t bottom =
            std::min(std::max(view.row(box.y1 - 1) + 1, cy + reach), view.height - 1);
        for (std::int64_t x = left; x <= right; ++x) {
            outline(x, top);
            outline(x, bottom);
        }
        for (std::int64_t y = top; y <= bottom; ++y) {
            outline(left, y);
            outline(right, y);
        }
    }
}

std::shared_ptr<Image> imageOf(std::shared_ptr<PlanarBitmap> rep) {
    if (!rep) {
        return nullptr;
    }
    try {
        const ImageSize size{static_cast<double>(rep->width()), static_cast<double>(rep->height())};
        return std::make_shared<Image>(size, std::move(rep));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

DiffImages makeDiffImages(const PlanarBitmap& a, const PlanarBitmap& b,
                          const CompareOptions& options, const std::vector<PixelBox>& regions,
                          CompareProgress* progress) {
    DiffImages result;
    DiffPicture diff(PictureSource::ofBitmap(a), PictureSource::ofBitmap(b), options, regions,
                     false);
    if (!diff.open()) {
        result.failure = diff.failureA().failed() ? diff.failureA() : diff.failureB();
        return result;
    }
    const std::int64_t width = diff.width();
    const std::int64_t height = diff.height();
    const ViewSize viewSize = viewSizeFor(width, height);
    std::shared_ptr<Image> full = imageOf(MakeNewImageRep(width, height));
    std::shared_ptr<Image> view = imageOf(MakeNewImageRep(viewSize.width, viewSize.height));
    if (!full || !view || width <= 0 || height <= 0) {
        result.failure.problem = ReadProblem::OutOfMemory;
        return result;
    }
    const PlanarBitmap& fullPlanes = *full->rep();
    const PlanarBitmap& viewPlanes = *view->rep();
    // The memory of the full picture backed in one call rather than a fault
    // a page: several times cheaper for memory the process never touched.
    std::uint8_t* const first = rowOf(fullPlanes, 0, 0);
    std::uint8_t* const last = rowOf(fullPlanes, PlanarBitmap::kPlanes - 1, height - 1) + width;
    [[maybe_unused]] const bool backed =
        backForWrite(first, static_cast<std::size_t>(last - first));
    view->rep()->fillPlanes(255);
    const ViewSampler sampler(viewSize, width);
    const ViewScale scale{viewSize.scale, viewSize.width, viewSize.height};
    for (std::int64_t y = 0; y < height; ++y) {
        if (progress != nullptr && progress->stop.load(std::memory_order_relaxed)) {
            return result;
        }
        RgbRow row;
        if (!diff.row(y, &row)) {
            result.failure = diff.failureA().failed() ? diff.failureA() : diff.failureB();
            return result;
        }
        const std::uint8_t* in[3] = {row.red, row.green, row.blue};
        for (int c = 0; c < 3; ++c) {
            std::memcpy(rowOf(fullPlanes, c, y), in[c], static_cast<std::size_t>(width));
        }
        std::memset(rowOf(fullPlanes, 3, y), 255, static_cast<std::size_t>(width));
        if (const std::int64_t vy = sampler.viewRowFor(y); vy >= 0) {
            for (int c = 0; c < 3; ++c) {
                sampler.sampleRow(rowOf(fullPlanes, c, y), rowOf(viewPlanes, c, vy));
            }
        }
        if (viewSize.scale != 1) {
            markChanges(row, width, y, scale, viewPlanes);
        }
        if (progress != nullptr) {
            progress->rowsDone.store(y + 1, std::memory_order_relaxed);
        }
    }
    outlineRegions(regions, scale, viewPlanes);
    result.full = std::move(full);
    result.view = std::move(view);
    return result;
}

}  // namespace vrs
