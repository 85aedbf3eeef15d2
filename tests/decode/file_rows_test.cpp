// SPDX-License-Identifier: MIT
// vrstool's rows of a file that shrinks while they are read, and its thumbnails.
#include "decode/file_rows.h"
#include "decode/file_row_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include <filesystem>
#include <vector>

#include "platform/regular_file.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs {
namespace {

using testing::Rgb;

TEST(FileRowsTest, RowsOfAFileShrunkWhileReadFailInsteadOfEndingTheProcess) {
    testing::ScratchDir dir;
    testing::VrsLayout layout;
    layout.width = 1001;
    layout.height = 1500;  // about six blocks of rows
    const auto pixel = [](std::int64_t x, std::int64_t y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200};
    };
    const std::filesystem::path path = dir / "shot.vrs";
    ASSERT_TRUE(testing::writeVrsFile(path.string(), layout, pixel));
    const OpenedFile opened = openRegularFile(path.string());
    ASSERT_GE(opened.fd, 0) << std::strerror(opened.error);
    const std::int64_t stride = testing::layoutStride(layout);
    FileRows rows({{opened.fd}, testing::rowLayoutOf(layout)});
    rows.prepare(true);
    std::vector<std::uint8_t> r(layout.width), g(layout.width), b(layout.width);
    ASSERT_TRUE(rows.decode(0, r.data(), g.data(), b.data()));
    EXPECT_EQ((Rgb{r[7], g[7], b[7]}), pixel(7, 0));

    std::filesystem::resize_file(path, 196 + 600 * stride);
    std::int64_t y = 1;
    while (y < layout.height && rows.decode(y, r.data(), g.data(), b.data())) {
        ++y;
    }
    EXPECT_TRUE(rows.changed());
    EXPECT_GT(y, 1);  // the rows already read in are still decoded
    EXPECT_LE(y, 600);
    EXPECT_EQ(close(opened.fd), 0);
}

// One-pixel stripes of two colours average to their mean, also where a
// thumbnail pixel's columns straddle two spans of decoded pixels.
TEST(ThumbnailRowSourceTest, StripesAverageToTheirMeanColour) {
    testing::ScratchDir dir;
    testing::VrsLayout layout;
    layout.width = 131076;  // two boxes of 65,538 columns; spans are 65,536
    layout.height = 3;
    const std::filesystem::path path = dir / "stripes.vrs";
    ASSERT_TRUE(testing::writeVrsFile(path.string(), layout, [](std::int64_t x, std::int64_t) {
        return x % 2 == 0 ? Rgb{255, 0, 100} : Rgb{1, 200, 30};
    }));
    const OpenedFile opened = openRegularFile(path.string());
    ASSERT_GE(opened.fd, 0) << std::strerror(opened.error);
    ThumbnailRowSource thumbnail({{opened.fd}, testing::rowLayoutOf(layout)}, 2);
    ASSERT_TRUE(thumbnail.valid());
    ASSERT_EQ(2, thumbnail.width());
    ASSERT_EQ(1, thumbnail.height());
    RgbRow row;
    ASSERT_TRUE(thumbnail.row(0, &row));
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ((Rgb{128, 100, 65}), (Rgb{row.red[x], row.green[x], row.blue[x]})) << x;
    }
    EXPECT_EQ(close(opened.fd), 0);
}

// A thumbnail passes over the rows in a file's holes (they read as zeros,
// black) and averages the rest: the same pixels as the file without holes.
TEST(ThumbnailRowSourceTest, RowsInHolesAverageAsBlackRows) {
    testing::ScratchDir dir;
    testing::VrsLayout layout;
    layout.width = 256;
    layout.height = 4096;
    layout.stride = 1024;
    // Colours in rows 0-99, 3000-3099 and the last, and in row 2999 from the
    // first pixel after the first hole on (byte 3,072,000); black elsewhere.
    const auto pixel = [](std::int64_t x, std::int64_t y) {
        const bool lit = y < 100 || (y == 2999 && x >= 207) || (y >= 3000 && y < 3100) || y == 4095;
        return lit ? Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77} : Rgb{};
    };
    ASSERT_TRUE(testing::writeVrsFile((dir / "dense.vrs").string(), layout, pixel));
    ASSERT_TRUE(testing::writeVrsFile((dir / "sparse.vrs").string(), layout, pixel));
    const OpenedFile dense = openRegularFile((dir / "dense.vrs").string());
    const int sparse = open((dir / "sparse.vrs").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(dense.fd, 0);
    ASSERT_GE(sparse, 0);
    for (const auto& [first, end] : {std::pair{100, 3000}, std::pair{3100, 4095}}) {
        const off_t from = (196 + first * 1024 + 4095) / 4096 * 4096;
        const off_t to = (196 + end * 1024) / 4096 * 4096;
        ASSERT_EQ(0, fallocate(sparse, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, from, to - from))
            << std::strerror(errno);
    }
    if (lseek(sparse, 0, SEEK_HOLE) >= static_cast<off_t>(196 + 4096 * 1024)) {
        GTEST_SKIP() << "this file system keeps no holes";
    }
    const PixelRows denseRows{{dense.fd}, testing::rowLayoutOf(layout)};
    const PixelRows sparseRows{{sparse}, testing::rowLayoutOf(layout)};
    for (const auto& [w, h] : {std::pair{16, 16}, std::pair{37, 1365}}) {
        ThumbnailRowSource want(denseRows, w, h);
        ThumbnailRowSource got(sparseRows, w, h);
        ASSERT_TRUE(want.valid() && got.valid());
        for (int y = 0; y < h; ++y) {
            RgbRow a;
            RgbRow b;
            ASSERT_TRUE(want.row(y, &a));
            ASSERT_TRUE(got.row(y, &b));
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ((Rgb{a.red[x], a.green[x], a.blue[x]}),
                          (Rgb{b.red[x], b.green[x], b.blue[x]}))
                    << w << " x " << h << " at " << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(close(dense.fd), 0);
    EXPECT_EQ(close(sparse), 0);
}

}  // namespace
}  // namespace vrs
