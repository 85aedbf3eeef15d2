#include "checked_load.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "decode/decoder.h"
#include "platform/headless_host.h"
#include "vrscreen/loader.h"

namespace vrs::fuzz {
namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "checked load: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what) {
    if (!ok) {
        broken(what);
    }
}

// Reads one sample of every plane at the far corner of a bitmap, so that a
// plane shorter than its size says is caught by the sanitizer.
void touchCorners(const PlanarBitmap& bitmap) {
    if (bitmap.width() == 0 || bitmap.height() == 0) {
        return;
    }
    unsigned sum = 0;
    const std::int64_t last = (bitmap.height() - 1) * bitmap.bytesPerRow() + bitmap.width() - 1;
    for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
        sum += bitmap.plane(i)[last];
    }
    volatile unsigned sink = sum;
    (void)sink;
}

}  // namespace

bool checkedLoad(const std::uint8_t* data, std::size_t size) {
    HeadlessHost host(nullptr);
    std::shared_ptr<Image> view;
    std::int64_t progress = 1;
    const VirtualScreenInfo info = inspectVirtualScreen(data, size);
    const std::shared_ptr<Image> full = loadVirtualScreen(data, size, &view, &progress, host);
    if (!full) {
        check(host.alertCount() == 1, "a refusal must alert exactly once");
        check(!host.lastAlert().empty(), "an empty alert");
        return false;
    }
    check(info.error == LoadError::None, "an image from a refused file");
    check(host.alertCount() == 0, "an alert for a good file");
    check(view != nullptr, "a full image without a view image");
    check(info.bytesNeeded <= size, "rows beyond the data");
    const PlanarBitmap& bitmap = *full->rep();
    check(bitmap.width() == info.width && bitmap.height() == info.height, "wrong full size");
    const ViewSize expected = viewSizeFor(info.width, info.height);
    check(view->rep()->width() == expected.width && view->rep()->height() == expected.height,
          "wrong view size");
    check(progress == 1 || info.depth == 16, "only 16-bit decodes count progress");
    touchCorners(bitmap);
    touchCorners(*view->rep());
    return true;
}

}  // namespace vrs::fuzz
