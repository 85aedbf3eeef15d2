// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/decoder.h"
#include "decode/image_factory.h"
#include "test_support.h"

namespace vrs {
namespace {

using testing::RecordingHost;

// A factory whose n-th bitmap or n-th image (counting from 1) is refused.
struct FailingFactory {
    int failBitmap = 0;
    int failImage = 0;
    int bitmaps = 0;
    int images = 0;

    ImageFactory factory() {
        return {[this](std::int64_t w, std::int64_t h) -> std::shared_ptr<PlanarBitmap> {
                    return ++bitmaps == failBitmap ? nullptr : MakeNewImageRep(w, h);
                },
                [this](ImageSize size, std::shared_ptr<PlanarBitmap> rep) {
                    return ++images == failImage
                               ? nullptr
                               : defaultImageFactory().makeImage(size, std::move(rep));
                }};
    }
};

struct FailureCase {
    int failBitmap;
    int failImage;
    const char* message;
    bool viewPlaceCleared;
};

TEST(Data2NSImageFailureTest, EachStepAlertsOnceAndLeavesTheViewPlaceAsSpecified) {
    const FailureCase cases[] = {
        {1, 0, "MakeNewImageRep is nil", false},
        {0, 1, "Data2NSImage new image is nil", false},
        {2, 0, "MakeNewViewImageRep is nil", false},
        {0, 2, "Data2NSImage new view_image is nil", true},
    };
    const std::vector<std::uint8_t> rows(4 * 3 * 2, 0x11);
    for (const FailureCase& c : cases) {
        FailingFactory failing{c.failBitmap, c.failImage};
        RecordingHost host;
        host.ticksPerCall = 1000;
        const auto before = std::make_shared<Image>(ImageSize{1, 1}, nullptr);
        std::shared_ptr<Image> view = before;
        std::int64_t progress = 1;
        const auto full = decodeWithFactory(failing.factory(), rows.data(), {3, 2, 16, 6}, &view,
                                            &progress, host);
        EXPECT_FALSE(full) << c.message;
        EXPECT_EQ(host.alerts, std::vector<std::string>{c.message});
        EXPECT_EQ(view, c.viewPlaceCleared ? nullptr : before) << c.message;
        EXPECT_EQ(progress, 1) << c.message;
        EXPECT_EQ(host.progress.created, 0) << c.message;
    }
}

TEST(Data2NSImageFailureTest, AnImpossibleBitmapIsReportedByTheRealFactory) {
    RecordingHost host;
    std::shared_ptr<Image> view;
    std::int64_t progress = 1;
    const std::uint8_t row[8] = {};
    EXPECT_FALSE(Data2NSImage(row, {-1, 1, 32, 4}, &view, &progress, host));
    EXPECT_FALSE(Data2NSImage(row, {std::int64_t{1} << 40, 1, 32, 4}, &view, &progress, host));
    EXPECT_EQ(host.alerts,
              (std::vector<std::string>{"MakeNewImageRep is nil", "MakeNewImageRep is nil"}));
    EXPECT_FALSE(view);
}

TEST(Data2NSImageFailureTest, NullPlacesAreTolerated) {
    RecordingHost host;
    host.ticksPerCall = 1000;
    const std::vector<std::uint8_t> rows(2 * 5 * 40, 0x42);
    EXPECT_TRUE(Data2NSImage(rows.data(), {5, 40, 16, 10}, nullptr, nullptr, host));
    EXPECT_EQ(host.progress.created, 0);
}

}  // namespace
}  // namespace vrs
