// SPDX-License-Identifier: MIT
#include "vrscreen/loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/decoder.h"
#include "picture_check.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs {
namespace {

using testing::RecordingHost;
using testing::VrsLayout;

struct Load {
    std::shared_ptr<Image> full;
    std::shared_ptr<Image> view;
    std::int64_t progress = 1;
    RecordingHost host;
    VirtualScreenInfo refusal;
    std::string out;  // standard output during the load
};

// Loads exactly these bytes from a buffer of their own length, so that a
// read past the end is caught by AddressSanitizer.
void load(const std::vector<std::uint8_t>& bytes, Load* l) {
    const std::vector<std::uint8_t> exact(bytes);
    ::testing::internal::CaptureStdout();
    l->full =
        loadVirtualScreen(exact.data(), exact.size(), &l->view, &l->progress, l->host, &l->refusal);
    l->out = ::testing::internal::GetCapturedStdout();
}

VrsLayout smallLayout(bool sized, std::int32_t depth) {
    VrsLayout layout;
    layout.sized = sized;
    layout.depth = depth;
    layout.width = 5;
    layout.height = 3;
    layout.top = 7;
    layout.left = -3;
    return layout;
}

void expectRefused(const std::vector<std::uint8_t>& bytes, LoadError error,
                   const std::string& context) {
    SCOPED_TRACE(context);
    const VirtualScreenInfo info = inspectVirtualScreen(bytes.data(), bytes.size());
    EXPECT_EQ(info.error, error);
    Load l;
    load(bytes, &l);
    EXPECT_FALSE(l.full);
    EXPECT_FALSE(l.view);
    EXPECT_EQ(l.progress, 1);
    // The cause and its figures go back to the caller, who words them.
    EXPECT_TRUE(l.host.alerts.empty());
    EXPECT_EQ(l.refusal.error, error);
    EXPECT_EQ(l.refusal.fileSize, info.fileSize);
    EXPECT_EQ(l.refusal.bytesNeeded, info.bytesNeeded);
}

TEST(LoaderTest, ACutFileIsRefusedAtEveryLength) {
    for (bool sized : {true, false}) {
        for (std::int32_t depth : {16, 32}) {
            VrsLayout layout = smallLayout(sized, depth);
            if (sized) {
                layout.stride = depth / 8 * 5 + 3;  // rows with padding, odd stride
            }
            const auto file = testing::makeVrs(layout, testing::skewedPixel);
            const std::string name = (sized ? "sized " : "rectangle ") + std::to_string(depth);
            for (std::size_t cut = 0; cut < file.size(); ++cut) {
                const std::vector<std::uint8_t> part(
                    file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
                expectRefused(part,
                              cut < 196 ? LoadError::TooShortForHeader : LoadError::TruncatedRows,
                              name + " cut at " + std::to_string(cut));
            }
            Load whole;
            load(file, &whole);
            EXPECT_TRUE(whole.full) << name;
            EXPECT_TRUE(whole.host.alerts.empty()) << name;
            EXPECT_EQ(whole.refusal.error, LoadError::None) << name;
        }
    }
}

TEST(LoaderTest, DecodesBothHeaderFormsAndDepths) {
    for (bool sized : {true, false}) {
        for (std::int32_t depth : {16, 32}) {
            VrsLayout layout = smallLayout(sized, depth);
            layout.width = 13;
            layout.height = 7;
            Load l;
            load(testing::makeVrs(layout, testing::skewedPixel), &l);
            ASSERT_TRUE(l.full) << sized << depth;
            ASSERT_TRUE(l.view);
            EXPECT_TRUE(l.out.empty());
            EXPECT_EQ(l.progress, 1);
            for (std::int64_t y = 0; y < 7; ++y) {
                for (std::int64_t x = 0; x < 13; ++x) {
                    const auto want =
                        testing::opaque(testing::decodedColour(depth, testing::skewedPixel(x, y)));
                    ASSERT_EQ(testing::pixelAt(*l.full->rep(), x, y), want) << x << ", " << y;
                    ASSERT_EQ(testing::pixelAt(*l.view->rep(), x, y), want) << x << ", " << y;
                }
            }
        }
    }
}

std::vector<std::uint8_t> withVersion(std::uint32_t version) {
    auto file = testing::makeVrs(smallLayout(true, 32), testing::skewedPixel);
    for (int i = 0; i < 4; ++i) {
        file[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(version >> (24 - 8 * i));
    }
    return file;
}

TEST(LoaderTest, OldVersionsPrintTheirLineAndHandBackTheirCause) {
    for (std::uint32_t version : {1U, 0U, 0xFFFFFFFFU, 0x80000000U}) {
        Load l;
        load(withVersion(version), &l);
        EXPECT_FALSE(l.full) << version;
        EXPECT_EQ(l.out, "An older version than 2 couldn't be read.\n");
        EXPECT_EQ(l.refusal.error, LoadError::OldVersion) << version;
        EXPECT_EQ(l.refusal.version, static_cast<std::int32_t>(version));
    }
    for (std::uint32_t version : {2U, 3U, 0x7FFFFFFFU}) {
        Load l;
        load(withVersion(version), &l);
        EXPECT_TRUE(l.full) << version;
        EXPECT_TRUE(l.out.empty());
    }
}

struct FieldCase {
    const char* what;
    std::size_t offset;  // of a big-endian 32-bit field
    std::uint32_t value;
    LoadError error;
};

TEST(LoaderTest, HeadersWithOneFieldChanged) {
    // 5 x 3 pixels of 16 bits, rows of 16 bytes: 196 + 2 x 16 + 10 = 238 bytes.
    const FieldCase cases[] = {
        {"rowBytes 9", 132, 9, LoadError::StrideTooSmall},
        {"rowBytes 0", 132, 0, LoadError::StrideTooSmall},
        {"rowBytes 10", 132, 10, LoadError::None},
        {"rowBytes 17", 132, 17, LoadError::TruncatedRows},
        {"rowBytes 2^32 - 1", 132, 0xFFFFFFFF, LoadError::TruncatedRows},
        {"width 0", 128, 0, LoadError::ZeroSize},
        {"width 8", 128, 8, LoadError::TruncatedRows},
        {"width 9", 128, 9, LoadError::StrideTooSmall},
        {"width 2^32 - 1", 128, 0xFFFFFFFF, LoadError::StrideTooSmall},
        {"height 0", 124, 0, LoadError::ZeroSize},
        {"height 4", 124, 4, LoadError::TruncatedRows},
        {"height 2^32 - 1", 124, 0xFFFFFFFF, LoadError::TruncatedRows},
        {"depth 32", 32, 32, LoadError::StrideTooSmall},
        {"depth 24", 32, 24, LoadError::TruncatedRows},
        {"depth 8", 32, 8, LoadError::None},
        {"depth 0", 32, 0, LoadError::None},
        {"depth -16", 32, 0xFFFFFFF0, LoadError::None},
        {"depth 2^31 - 1", 32, 0x7FFFFFFF, LoadError::StrideTooSmall},
    };
    const auto base = testing::makeVrs(smallLayout(true, 16), testing::skewedPixel);
    ASSERT_EQ(base.size(), 238U);
    for (const FieldCase& c : cases) {
        auto file = base;
        for (std::size_t i = 0; i < 4; ++i) {
            file[c.offset + i] = static_cast<std::uint8_t>(c.value >> (24 - 8 * i));
        }
        if (c.error != LoadError::None) {
            expectRefused(file, c.error, c.what);
            continue;
        }
        Load l;
        load(file, &l);
        EXPECT_TRUE(l.full) << c.what;
        EXPECT_TRUE(l.host.alerts.empty()) << c.what;
    }
}

std::vector<std::uint8_t> rectangleHeader(std::int16_t top, std::int16_t left, std::int16_t bottom,
                                          std::int16_t right, std::int32_t depth) {
    VrsLayout layout;
    layout.sized = false;
    layout.depth = depth;
    auto header = testing::makeHeader(layout);
    const std::int16_t fields[] = {top, left, bottom, right};
    for (std::size_t i = 0; i < 4; ++i) {
        header[100 + 2 * i] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(fields[i]) >> 8);
        header[101 + 2 * i] = static_cast<std::uint8_t>(fields[i]);
    }
    return header;
}

TEST(LoaderTest, RectangleHeadersTakeTheirSizeFromTheBounds) {
    auto file = rectangleHeader(100, 200, 868, 1224, 16);
    const VirtualScreenInfo info = inspectVirtualScreen(file.data(), file.size());
    EXPECT_FALSE(info.sized);
    EXPECT_EQ(info.layout.width, 1024);
    EXPECT_EQ(info.layout.height, 768);
    EXPECT_EQ(info.layout.stride, 2064);
    EXPECT_EQ(info.bytesNeeded, 196U + 767U * 2064U + 2048U);
    file.resize(info.bytesNeeded, 0x03);
    Load l;
    load(file, &l);
    ASSERT_TRUE(l.full);
    EXPECT_EQ(l.full->rep()->width(), 1024);
    EXPECT_EQ(l.full->rep()->height(), 768);
}

TEST(LoaderTest, AnEmptyRectangleIsRefusedAndTheUserTold) {
    expectRefused(rectangleHeader(10, 10, 10, 50, 32), LoadError::EmptyBounds, "no height");
    expectRefused(rectangleHeader(10, 50, 20, 10, 32), LoadError::EmptyBounds, "negative width");
    // 40000 wide wraps to a negative 16-bit width.
    expectRefused(rectangleHeader(0, -20000, 10, 20000, 32), LoadError::EmptyBounds, "wrapped");
}

TEST(LoaderTest, ASizedHeaderIgnoresItsBounds) {
    VrsLayout layout = smallLayout(true, 32);
    for (std::size_t i = 100; i < 108; ++i) {
        layout.overrides.emplace_back(i, 0);
    }
    Load l;
    load(testing::makeVrs(layout, testing::skewedPixel), &l);
    ASSERT_TRUE(l.full);
    EXPECT_EQ(l.full->rep()->width(), 5);
    EXPECT_EQ(l.full->rep()->height(), 3);
}

std::vector<std::uint8_t> sizedHeader(std::uint32_t width, std::uint32_t height,
                                      std::uint32_t rowBytes, std::int32_t depth) {
    VrsLayout layout;
    layout.width = width;
    layout.height = height;
    layout.stride = rowBytes;
    layout.depth = depth;
    return testing::makeHeader(layout);
}

TEST(LoaderTest, BitmapsOutOfProportionToTheFileAreRefused) {
    // Depth 0 and rows of 0 bytes: 196 bytes that would ask for gigabytes.
    expectRefused(sizedHeader(60000, 60000, 0, 0), LoadError::TooLarge, "60000 x 60000");
    expectRefused(sizedHeader(0xFFFFFFFF, 0xFFFFFFFF, 0, 0), LoadError::TooLarge, "overflow");
    // The largest rows a header can promise still have a byte count.
    const auto huge = sizedHeader(1, 0xFFFFFFFF, 0xFFFFFFFF, 32);
    expectRefused(huge, LoadError::TruncatedRows, "rows of 2^32 - 1 bytes");
    EXPECT_EQ(inspectVirtualScreen(huge.data(), huge.size()).bytesNeeded,
              196U + 0xFFFFFFFEULL * 0xFFFFFFFFULL + 4U);
    // 1 x h pixels: 64 h bytes of full bitmap plus a 0 x 1200 view (76,800
    // bytes), against 32 x 196 bytes + 64 MiB = 67,115,136.
    const auto atLimit = sizedHeader(1, 1047474, 0, 0);
    const VirtualScreenInfo fits = inspectVirtualScreen(atLimit.data(), atLimit.size());
    EXPECT_EQ(fits.error, LoadError::None);
    EXPECT_EQ(fits.bitmapBytes, 67115136U);
    const auto beyond = sizedHeader(1, 1047475, 0, 0);
    EXPECT_EQ(inspectVirtualScreen(beyond.data(), beyond.size()).error, LoadError::TooLarge);
}

TEST(LoaderTest, NothingBeyondTheHeaderIsNeededWithoutPixelBytes) {
    Load l;
    load(sizedHeader(5, 3, 0, 0), &l);
    ASSERT_TRUE(l.full);
    EXPECT_EQ(testing::pixelAt(*l.view->rep(), 4, 2), (testing::Rgba{255, 255, 255, 255}));
}

TEST(LoaderTest, TheCounterChangesOnlyThroughA16BitDecode) {
    Load l;
    l.host.ticksPerCall = 1000;
    load(testing::makeVrs(smallLayout(true, 32), testing::skewedPixel), &l);
    EXPECT_TRUE(l.full);
    EXPECT_EQ(l.progress, 1);
}

}  // namespace
}  // namespace vrs
