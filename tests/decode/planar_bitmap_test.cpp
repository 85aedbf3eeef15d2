// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <set>
#include <vector>

namespace vrs {
namespace {

TEST(PlanarBitmapTest, BytesPerRowIsNextMultipleOf16AboveFourTimesWidth) {
    EXPECT_EQ(planarBytesPerRow(1), 16);
    EXPECT_EQ(planarBytesPerRow(3), 16);
    EXPECT_EQ(planarBytesPerRow(4), 32);
    EXPECT_EQ(planarBytesPerRow(1600), 6416);
    EXPECT_EQ(planarBytesPerRow(0), 16);
    EXPECT_EQ(planarBytesPerRow(-1), -1);
    EXPECT_EQ(planarBytesPerRow(INT64_MAX / 4), -1);
}

TEST(PlanarBitmapTest, MakesFourSeparateClearedPlanes) {
    auto bitmap = MakeNewImageRep(1600, 1200);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width(), 1600);
    EXPECT_EQ(bitmap->height(), 1200);
    EXPECT_EQ(bitmap->bytesPerRow(), 6416);
    EXPECT_EQ(bitmap->planeSize(), 7699200U);
    std::uint8_t* planes[5];
    bitmap->getBitmapDataPlanes(planes);
    EXPECT_EQ(planes[4], nullptr);
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(planes[i], nullptr);
        EXPECT_EQ(planes[i], bitmap->plane(i));
        EXPECT_EQ(planes[i][0], 0);
        EXPECT_EQ(planes[i][bitmap->planeSize() - 1], 0);
        planes[i][bitmap->planeSize() - 1] =
            static_cast<std::uint8_t>(i + 1);  // writable to the end
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(planes[i], planes[j]);
        }
    }
}

// Pages of memory present in the process among those holding the planes.
std::size_t residentBytes(const PlanarBitmap& bitmap) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    std::set<std::uintptr_t> pages;
    for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
        const auto start = reinterpret_cast<std::uintptr_t>(bitmap.plane(i)) & ~(page - 1);
        const auto end = reinterpret_cast<std::uintptr_t>(bitmap.plane(i)) + bitmap.planeSize();
        std::vector<unsigned char> flags((end - start + page - 1) / page);
        EXPECT_EQ(mincore(reinterpret_cast<void*>(start), end - start, flags.data()), 0);
        for (std::size_t k = 0; k < flags.size(); ++k) {
            if ((flags[k] & 1) != 0) {
                pages.insert(start + k * page);
            }
        }
    }
    return pages.size() * page;
}

// Every sample of every plane keeps its own value, and writing them all
// takes no more memory than four bytes a pixel and a huge page: the rows'
// unused three quarters are not backed.
TEST(PlanarBitmapTest, PlanesKeepTheirSamplesInFourBytesAPixel) {
    for (auto [w, h] : {std::pair<std::int64_t, std::int64_t>{4001, 600}, {3, 7}, {1601, 1200}}) {
        auto bitmap = MakeNewImageRep(w, h);
        ASSERT_TRUE(bitmap);
        const auto sample = [](int plane, std::int64_t x, std::int64_t y) {
            return static_cast<std::uint8_t>(plane * 61 + x * 7 + y * 3);
        };
        for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
            for (std::int64_t y = 0; y < h; ++y) {
                for (std::int64_t x = 0; x < w; ++x) {
                    bitmap->plane(i)[y * bitmap->bytesPerRow() + x] = sample(i, x, y);
                }
            }
        }
        for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
            for (std::int64_t y = 0; y < h; ++y) {
                for (std::int64_t x = 0; x < w; ++x) {
                    ASSERT_EQ(bitmap->plane(i)[y * bitmap->bytesPerRow() + x], sample(i, x, y))
                        << w << " x " << h << ", plane " << i << " at " << x << ", " << y;
                }
            }
        }
        EXPECT_LE(residentBytes(*bitmap), static_cast<std::size_t>(4 * w * h) + (2U << 20));
        bitmap->fillPlanes(255);
        for (int i = 0; i < PlanarBitmap::kPlanes; ++i) {
            EXPECT_EQ(bitmap->plane(i)[(h - 1) * bitmap->bytesPerRow() + w - 1], 255);
            EXPECT_EQ(bitmap->plane(i)[bitmap->planeSize() - 1], 255);
        }
    }
}

TEST(PlanarBitmapTest, ZeroSizeGivesAnEmptyBitmap) {
    for (auto [w, h] : {std::pair<std::int64_t, std::int64_t>{0, 0}, {1601, 0}, {0, 5}}) {
        auto bitmap = MakeNewImageRep(w, h);
        ASSERT_TRUE(bitmap) << w << " x " << h;
        EXPECT_EQ(bitmap->width(), w);
        EXPECT_EQ(bitmap->height(), h);
        EXPECT_EQ(bitmap->planeSize(), 0U);
    }
}

TEST(PlanarBitmapTest, RefusesNegativeOverflowingAndImpossibleSizes) {
    EXPECT_FALSE(MakeNewImageRep(-1, 10));
    EXPECT_FALSE(MakeNewImageRep(10, -1));
    EXPECT_FALSE(MakeNewImageRep(std::int64_t{1} << 20, std::int64_t{1} << 20));  // 1 << 40 pixels
    EXPECT_FALSE(MakeNewImageRep(INT64_MAX, 1));
    EXPECT_FALSE(MakeNewImageRep(1, INT64_MAX));
    EXPECT_FALSE(MakeNewImageRep(std::int64_t{1} << 40, 1));
}

}  // namespace
}  // namespace vrs
