// SPDX-License-Identifier: MIT
#include "compare/compare_pictures.h"

#include <gtest/gtest.h>

#include <vector>

#include "decode/file_row_source.h"
#include "export/encoders.h"
#include "platform/output_stream.h"
#include "sample_picture.h"
#include "vrs_writer.h"

namespace vrs {
namespace {

using testing::Rgb;
using testing::VrsLayout;

// A capture held in memory, and the same picture as a PNG file in memory.
struct Picture {
    std::vector<std::uint8_t> file;
    RowLayout layout;
    std::vector<std::uint8_t> png;

    Picture(std::uint32_t width, std::uint32_t height, int depth,
            const testing::PixelFunction& pixel) {
        VrsLayout l;
        l.width = width;
        l.height = height;
        l.depth = depth;
        file = testing::makeVrs(l, pixel);
        layout = testing::rowLayoutOf(l);
        FileRowSource rows(capture().capture, false);
        MemoryStream out;
        EXPECT_TRUE(encodePng(rows, out, {}));
        png = out.bytes();
    }
    PictureSource capture() const {
        return PictureSource::ofCapture({FileBytes{-1, file.data(), file.size()}, layout});
    }
    PictureSource pngFile() const {
        return PictureSource::ofPng(FileBytes{-1, png.data(), png.size()}, png.size());
    }
};

// Rows of 8000 bytes: chunks of 131 rows, so the changes at rows 130 to 132
// lie across the first seam between two threads' chunks.
constexpr std::uint32_t kWidth = 2000;
constexpr std::uint32_t kHeight = 400;

Rgb changed(std::int64_t x, std::int64_t y) {
    const Rgb p = testing::samplePixel(x, y, kWidth, kHeight);
    if ((y >= 130 && y <= 132 && x >= 300 && x < 340) || (y == kHeight - 1 && x < 500)) {
        return {static_cast<std::uint8_t>(255 - p.r), p.g, static_cast<std::uint8_t>(p.b ^ 8)};
    }
    if (y >= 200 && y < 260 && x >= 100 && x < 900) {
        // The text of a band moved a pixel right: edges of glyphs change.
        return testing::samplePixel(x - 1, y, kWidth, kHeight);
    }
    return p;
}

// Two captures compared on their bytes, by one thread or by three, and the
// same pictures compared as PNG files row by row, find the same pixels and
// regions, with and without a threshold and the anti-aliasing test.
TEST(ComparePictures, EveryWayOfReadingFindsTheSameDifference) {
    const Picture a(kWidth, kHeight, 32, testing::samplePicture(kWidth, kHeight));
    const Picture b(kWidth, kHeight, 32, changed);
    for (const CompareOptions& options :
         {CompareOptions{}, CompareOptions{0.1, true, {{0, 0, 50, 50}}}}) {
        const ComparisonResult one = comparePictures(a.capture(), b.capture(), options, 1);
        const ComparisonResult three = comparePictures(a.capture(), b.capture(), options, 3);
        const ComparisonResult png = comparePictures(a.pngFile(), b.pngFile(), options);
        const ComparisonResult mixed = comparePictures(a.capture(), b.pngFile(), options);
        ASSERT_FALSE(one.failed() || three.failed() || png.failed() || mixed.failed());
        EXPECT_GT(one.counts.differing, 3 * 40 + 500);
        EXPECT_GT(one.regions.size(), 2u);
        for (const ComparisonResult* r : {&three, &png, &mixed}) {
            EXPECT_EQ(one.counts.differing, r->counts.differing);
            EXPECT_EQ(one.counts.largestDelta, r->counts.largestDelta);
            EXPECT_EQ(one.regions, r->regions);
        }
    }
}

// A 16-bit capture shows its 5-bit values shifted up: a 32-bit capture of
// those colours is the same picture, and so is its own PNG copy.
TEST(ComparePictures, ASixteenBitCaptureEqualsItsCopies) {
    const auto pixel = testing::samplePicture(333, 211);
    const Picture deep(333, 211, 16, pixel);
    const Picture wide(333, 211, 32, [&](std::int64_t x, std::int64_t y) {
        return testing::decodedColour(16, pixel(x, y));
    });
    EXPECT_TRUE(comparePictures(deep.capture(), wide.capture(), {}).identical());
    EXPECT_TRUE(comparePictures(deep.capture(), deep.pngFile(), {}).identical());
    const Picture other(333, 211, 32, pixel);
    EXPECT_FALSE(comparePictures(deep.capture(), other.capture(), {}).identical());
    // A larger picture, one pixel changed in the part both share: compared
    // only when asked for.
    const Picture wider(340, 215, 32, [&](std::int64_t x, std::int64_t y) {
        const bool same = x < 333 && y < 211 && (x != 5 || y != 7);
        return same ? testing::decodedColour(16, pixel(x, y)) : Rgb{1, 2, 3};
    });
    CompareOptions shared;
    shared.sharedArea = true;
    for (const PictureSource& source : {wider.capture(), wider.pngFile()}) {
        const ComparisonResult sizes = comparePictures(deep.capture(), source, {});
        EXPECT_TRUE(sizes.sizesDiffer());
        EXPECT_EQ(0, sizes.counts.differing);
        const ComparisonResult left = comparePictures(deep.capture(), source, shared);
        EXPECT_TRUE(left.sizesDiffer());
        EXPECT_EQ(1, left.counts.differing);
        EXPECT_EQ((std::vector<PixelBox>{{5, 7, 6, 8}}), left.regions);
    }
}

}  // namespace
}  // namespace vrs
