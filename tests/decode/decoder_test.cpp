// SPDX-License-Identifier: MIT
#include "decode/decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "picture_check.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs {
namespace {

using testing::opaque;
using testing::pixelAt;
using testing::RecordingHost;
using testing::Rgba;
using testing::VrsLayout;

struct ViewCase {
    std::int64_t width, height;
    double scale;
    std::int64_t viewWidth, viewHeight;
};

TEST(ViewSizeTest, ScalesOnlyPicturesBeyond1600By1200) {
    const ViewCase cases[] = {
        {1600, 1200, 1.0, 1600, 1200},
        {1601, 1200, 1600.0 / 1601, 1600, 1199},
        {1600, 1201, 1.0, 1600, 1201},
        {1400, 1300, 1.0, 1400, 1300},
        {1280, 1600, 0.75, 960, 1200},
        {2560, 1600, 0.625, 1600, 1000},
        {2560, 2048, 0.625, 1600, 1280},
        {3200, 2400, 0.5, 1600, 1200},
        {2156, 1000, 1600.0 / 2156, 1599, 742},  // 2156 x (1600 / 2156) is just below 1600
        {1601, 1, 1600.0 / 1601, 1600, 0},
        {1, 5000, 0.24, 0, 1200},
        {0, 0, 1.0, 0, 0},
    };
    for (const ViewCase& c : cases) {
        const ViewSize v = viewSizeFor(c.width, c.height);
        EXPECT_EQ(v.scale, c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(v.width, c.viewWidth) << c.width << " x " << c.height;
        EXPECT_EQ(v.height, c.viewHeight) << c.width << " x " << c.height;
    }
}

// The pixel rules written out directly, to check the row routines against.
Rgba reference16(std::uint8_t high, std::uint8_t low) {
    const unsigned word = (unsigned{high} << 8) | low;
    return {static_cast<std::uint8_t>(((word >> 10) & 31) << 3),
            static_cast<std::uint8_t>(((word >> 5) & 31) << 3),
            static_cast<std::uint8_t>((word & 31) << 3), 0};
}

void checkRoutine(int bytesPerPixel, std::int64_t width) {
    std::vector<std::uint8_t> src(static_cast<std::size_t>(width * bytesPerPixel) + 3);
    for (std::size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<std::uint8_t>(i * 37 + 11 + (i >> 3));
    }
    // One guard byte behind every plane row: a routine must not write past width.
    std::vector<std::uint8_t> r(static_cast<std::size_t>(width) + 1, 0xEE);
    std::vector<std::uint8_t> g(r);
    std::vector<std::uint8_t> b(r);
    if (bytesPerPixel == 4) {
        decodeRow32(src.data(), width, r.data(), g.data(), b.data());
    } else {
        decodeRow16(src.data(), width, r.data(), g.data(), b.data());
    }
    for (std::int64_t x = 0; x < width; ++x) {
        const auto at = static_cast<std::size_t>(x);
        const std::uint8_t* p = src.data() + at * static_cast<std::size_t>(bytesPerPixel);
        const Rgba want = bytesPerPixel == 4 ? Rgba{p[1], p[2], p[3], 0} : reference16(p[0], p[1]);
        ASSERT_EQ((Rgba{r[at], g[at], b[at], 0}), want) << "width " << width << ", x " << x;
    }
    const auto end = static_cast<std::size_t>(width);
    EXPECT_EQ(r[end] & g[end] & b[end], 0xEE) << "width " << width;
}

TEST(DecodeRowTest, MatchesThePixelRulesAtEveryWidthAroundTheVectorSizes) {
    for (std::int64_t width = 0; width <= 140; ++width) {
        checkRoutine(4, width);
        checkRoutine(2, width);
    }
    checkRoutine(4, 4099);
    checkRoutine(2, 4099);
}

TEST(DecodeRowTest, SixteenBitChannelsAreShiftedNotScaledAndTheTopBitIgnored) {
    const std::uint16_t words[] = {0x7FFF, 0xFFFF, 0x8000, 0x0000, 0x7C00, 0x03E0, 0x001F};
    const Rgba want[] = {{248, 248, 248, 0}, {248, 248, 248, 0}, {0, 0, 0, 0},  {0, 0, 0, 0},
                         {248, 0, 0, 0},     {0, 248, 0, 0},     {0, 0, 248, 0}};
    std::uint8_t src[14];
    for (int i = 0; i < 7; ++i) {
        src[2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
        src[2 * i + 1] = static_cast<std::uint8_t>(words[i]);
    }
    std::uint8_t r[7], g[7], b[7];
    decodeRow16(src, 7, r, g, b);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ((Rgba{r[i], g[i], b[i], 0}), want[i]) << std::hex << words[i];
    }
}

TEST(DecodeRowTest, ThirtyTwoBitPixelsSkipTheirFirstByte) {
    const std::uint8_t src[8] = {0x00, 0xFF, 0x80, 0x01, 0xFF, 0x12, 0x34, 0x56};
    std::uint8_t r[2], g[2], b[2];
    decodeRow32(src, 2, r, g, b);
    EXPECT_EQ((Rgba{r[0], g[0], b[0], 0}), (Rgba{255, 128, 1, 0}));
    EXPECT_EQ((Rgba{r[1], g[1], b[1], 0}), (Rgba{0x12, 0x34, 0x56, 0}));
}

struct Decoded {
    std::shared_ptr<Image> full;
    std::shared_ptr<Image> view;
    std::int64_t progress = 1;
    RecordingHost host;
};

void decode(const VrsLayout& layout, const testing::PixelFunction& pixel, Decoded* out) {
    const std::vector<std::uint8_t> file = testing::makeVrs(layout, pixel);
    out->full = Data2NSImage(file.data(), testing::rowLayoutOf(layout), &out->view, &out->progress,
                             out->host);
}

// The source column (or row) that view column (row) v is sampled from: the
// first whose index x s truncates to v.
std::vector<std::int64_t> firstSources(std::int64_t count, double scale, std::int64_t viewCount) {
    std::vector<std::int64_t> first(static_cast<std::size_t>(viewCount), -1);
    for (std::int64_t i = 0; i < count; ++i) {
        const auto v = static_cast<std::int64_t>(std::trunc(static_cast<double>(i) * scale));
        if (v < viewCount && first[static_cast<std::size_t>(v)] < 0) {
            first[static_cast<std::size_t>(v)] = i;
        }
    }
    return first;
}

void checkPicture(const VrsLayout& layout, const testing::PixelFunction& pixel) {
    SCOPED_TRACE(std::to_string(layout.width) + " x " + std::to_string(layout.height) + ", depth " +
                 std::to_string(layout.depth));
    Decoded d;
    decode(layout, pixel, &d);
    ASSERT_TRUE(d.full);
    ASSERT_TRUE(d.view);
    EXPECT_TRUE(d.host.alerts.empty());
    const PlanarBitmap& full = *d.full->rep();
    ASSERT_EQ(full.width(), layout.width);
    ASSERT_EQ(full.height(), layout.height);
    EXPECT_EQ(d.full->size().width, layout.width);
    EXPECT_EQ(d.full->size().height, layout.height);
    for (std::int64_t y = 0; y < layout.height; ++y) {
        for (std::int64_t x = 0; x < layout.width; ++x) {
            const Rgba want = opaque(testing::decodedColour(layout.depth, pixel(x, y)));
            ASSERT_EQ(pixelAt(full, x, y), want) << "full pixel " << x << ", " << y;
        }
    }
    const ViewSize size = viewSizeFor(layout.width, layout.height);
    const PlanarBitmap& view = *d.view->rep();
    ASSERT_EQ(view.width(), size.width);
    ASSERT_EQ(view.height(), size.height);
    EXPECT_EQ(d.view->size().width, size.width);
    const auto columns = firstSources(layout.width, size.scale, size.width);
    const auto rows = firstSources(layout.height, size.scale, size.height);
    for (std::int64_t vy = 0; vy < size.height; ++vy) {
        for (std::int64_t vx = 0; vx < size.width; ++vx) {
            const auto sx = columns[static_cast<std::size_t>(vx)];
            const auto sy = rows[static_cast<std::size_t>(vy)];
            ASSERT_EQ(pixelAt(view, vx, vy), pixelAt(full, sx, sy))
                << "view pixel " << vx << ", " << vy;
        }
    }
}

TEST(Data2NSImageTest, DecodesOddAsymmetricPicturesOfBothDepths) {
    for (std::int32_t depth : {32, 16}) {
        VrsLayout layout;
        layout.depth = depth;
        layout.width = 37;
        layout.height = 23;
        checkPicture(layout, testing::skewedPixel);
        layout.stride = depth / 8 * 37 + 7;  // an odd stride with padding that must not be read
        checkPicture(layout, testing::skewedPixel);
    }
}

TEST(Data2NSImageTest, SamplesWideAndTallPicturesIntoTheView) {
    for (std::int32_t depth : {32, 16}) {
        VrsLayout wide;
        wide.depth = depth;
        wide.width = 2563;
        wide.height = 9;
        checkPicture(wide, testing::skewedPixel);
        VrsLayout tall = wide;
        tall.width = 7;
        tall.height = 1603;
        checkPicture(tall, testing::skewedPixel);
    }
}

// Past 8 Mi pixels a second thread decodes the rows from the bottom while the
// decoder works down from the top; the pictures must come out the same.
TEST(Data2NSImageTest, PicturesBigEnoughForAHelperDecodeTheSame) {
    for (std::int32_t depth : {32, 16}) {
        VrsLayout big;
        big.depth = depth;
        big.width = 4099;
        big.height = 2047;
        big.stride = depth / 8 * 4099 + 5;
        checkPicture(big, testing::skewedPixel);
    }
}

TEST(Data2NSImageTest, AnEqualSizedViewIsAnExactCopy) {
    VrsLayout layout;
    layout.width = 1600;
    layout.height = 3;
    Decoded d;
    decode(layout, testing::skewedPixel, &d);
    ASSERT_TRUE(d.full && d.view);
    for (int plane = 0; plane < 4; ++plane) {
        for (std::int64_t y = 0; y < 3; ++y) {
            const std::int64_t at = y * d.full->rep()->bytesPerRow();
            EXPECT_EQ(std::memcmp(d.full->rep()->plane(plane) + at,
                                  d.view->rep()->plane(plane) + at, 1600),
                      0);
        }
    }
}

TEST(Data2NSImageTest, SamplesEverySecondPixelAtHalfScaleAndTheDocumentedColumnsAt0625) {
    VrsLayout half;
    half.width = 3200;
    half.height = 7;
    Decoded d;
    decode(half, testing::skewedPixel, &d);
    ASSERT_TRUE(d.view);
    ASSERT_EQ(d.view->rep()->height(), 3);
    for (std::int64_t vy = 0; vy < 3; ++vy) {
        for (std::int64_t vx = 0; vx < 1600; vx += 111) {
            EXPECT_EQ(pixelAt(*d.view->rep(), vx, vy),
                      opaque(testing::skewedPixel(2 * vx, 2 * vy)));
        }
    }
    VrsLayout wide;
    wide.width = 2560;
    wide.height = 2;
    Decoded w;
    decode(wide, testing::skewedPixel, &w);
    ASSERT_TRUE(w.view);
    const std::int64_t sources[] = {0, 2, 4, 5, 7, 8};
    for (std::int64_t vx = 0; vx < 6; ++vx) {
        EXPECT_EQ(pixelAt(*w.view->rep(), vx, 0), opaque(testing::skewedPixel(sources[vx], 0)));
    }
}

TEST(Data2NSImageTest, OtherDepthsDecodeNothingButReturnBothImages) {
    for (std::int32_t depth : {24, 8, 0, -16}) {
        VrsLayout layout;
        layout.depth = depth;
        layout.width = 11;
        layout.height = 5;
        layout.stride = 44;
        Decoded d;
        decode(layout, testing::skewedPixel, &d);
        ASSERT_TRUE(d.full) << depth;
        ASSERT_TRUE(d.view) << depth;
        EXPECT_EQ(d.progress, 1);
        EXPECT_TRUE(d.host.alerts.empty());
        const PlanarBitmap& view = *d.view->rep();
        const PlanarBitmap& full = *d.full->rep();
        for (int plane = 0; plane < 4; ++plane) {
            for (std::size_t i = 0; i < view.planeSize(); ++i) {
                ASSERT_EQ(view.plane(plane)[i], 255) << "depth " << depth << ", plane " << plane;
            }
            for (std::size_t i = 0; i < full.planeSize(); ++i) {
                ASSERT_EQ(full.plane(plane)[i], 0) << "depth " << depth << ", plane " << plane;
            }
        }
    }
}

TEST(Data2NSImageTest, PicturesWithoutPixelsGiveEmptyImages) {
    const std::uint8_t none[1] = {};
    for (auto [w, h] : {std::pair<std::int64_t, std::int64_t>{0, 4}, {4, 0}, {1601, 1}}) {
        RecordingHost host;
        host.ticksPerCall = 100;
        std::shared_ptr<Image> view;
        std::int64_t progress = 1;
        // 1601 x 1 reads its one row; the others read nothing.
        std::vector<std::uint8_t> row(static_cast<std::size_t>(2 * w), 0x7C);
        const std::uint8_t* rows = w * h == 1601 ? row.data() : none;
        auto full = Data2NSImage(rows, {w, h, 16, 2 * w}, &view, &progress, host);
        ASSERT_TRUE(full) << w << " x " << h;
        ASSERT_TRUE(view);
        EXPECT_EQ(view->rep()->width(), viewSizeFor(w, h).width);
        EXPECT_EQ(view->rep()->height(), viewSizeFor(w, h).height);
        EXPECT_TRUE(host.alerts.empty());
    }
}

}  // namespace
}  // namespace vrs
