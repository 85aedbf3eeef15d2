// SPDX-License-Identifier: MIT
#include "checked_load.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "decode/decoder.h"
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

struct WindowLog {
    int made = 0;
    int gone = 0;
    double max = 0;
    std::vector<double> values;
};

class QuietWindow : public ProgressWindow {
  public:
    explicit QuietWindow(WindowLog* log) : log_(log) { ++log_->made; }
    ~QuietWindow() override { ++log_->gone; }
    void setTitle(std::string_view /*title*/) override {}
    void display() override {}
    void setMaxValue(double max) override { log_->max = max; }
    void setDoubleValue(double value) override { log_->values.push_back(value); }
    void setIndeterminate(bool /*indeterminate*/) override {}
    void startAnimation() override {}

  private:
    WindowLog* log_;
};

// A host without a screen whose clock runs 7 ticks per reading, so that the
// progress rule's every branch is reached by some input.
class QuietHost : public Host {
  public:
    void alert(const std::string& message) override {
        ++alerts;
        lastAlert = message;
    }
    std::uint32_t tickCount() override { return tick += 7; }
    void runEventLoop(double /*seconds*/) override {}
    std::unique_ptr<ProgressWindow> makeProgressWindow() override {
        return std::make_unique<QuietWindow>(&windows);
    }

    int alerts = 0;
    std::string lastAlert;
    std::uint32_t tick = 0;
    WindowLog windows;
};

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

void checkProgress(const VirtualScreenInfo& info, const WindowLog& windows, std::int64_t progress) {
    check(windows.made == windows.gone, "a progress window left on the screen");
    check(windows.made <= 1, "more than one progress window");
    if (info.layout.depth != 16) {
        check(windows.made == 0 && progress == 1, "progress outside a 16-bit decode");
        return;
    }
    if (windows.made == 0) {
        check(progress == 0 || progress == 1, "a counter moved without a window");
        return;
    }
    check(windows.max == 300, "a progress range other than 300");
    check(windows.values.size() <= 301, "more than 301 progress updates");
    check(progress == 1 + static_cast<std::int64_t>(windows.values.size()),
          "a counter that differs from the updates shown");
    for (std::size_t i = 0; i < windows.values.size(); ++i) {
        check(windows.values[i] >= 0 && windows.values[i] <= 300, "a step outside 0 to 300");
        check(i == 0 || windows.values[i - 1] < windows.values[i], "a step repeated or back");
    }
}

}  // namespace

bool checkedLoad(const std::uint8_t* data, std::size_t size) {
    QuietHost host;
    std::shared_ptr<Image> view;
    std::int64_t progress = 1;
    const VirtualScreenInfo info = inspectVirtualScreen(data, size);
    VirtualScreenInfo refusal;
    const std::shared_ptr<Image> full =
        loadVirtualScreen(data, size, &view, &progress, host, &refusal);
    if (!full) {
        // A refusal hands back its cause; a failed decode alerts once.
        if (refusal.error != LoadError::None) {
            check(refusal.error == info.error, "a refusal for another cause than the header's");
            check(host.alerts == 0, "a refusal alerted");
            check(!describeLoadError(refusal).empty(), "a refusal without words");
        } else {
            check(host.alerts == 1, "a failed decode must alert exactly once");
            check(!host.lastAlert.empty(), "an empty alert");
        }
        check(progress == 1, "a refusal moved the counter");
        return false;
    }
    check(info.error == LoadError::None, "an image from a refused file");
    check(host.alerts == 0, "an alert for a good file");
    check(view != nullptr, "a full image without a view image");
    check(info.bytesNeeded <= size, "rows beyond the data");
    const PlanarBitmap& bitmap = *full->rep();
    check(bitmap.width() == info.layout.width && bitmap.height() == info.layout.height,
          "wrong full size");
    const ViewSize expected = viewSizeFor(info.layout.width, info.layout.height);
    check(view->rep()->width() == expected.width && view->rep()->height() == expected.height,
          "wrong view size");
    checkProgress(info, host.windows, progress);
    touchCorners(bitmap);
    touchCorners(*view->rep());
    return true;
}

}  // namespace vrs::fuzz
