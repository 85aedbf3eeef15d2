// SPDX-License-Identifier: MIT
#include "decode/row_sharing.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "decode/decode_pass.h"
#include "platform/page_advice.h"

namespace vrs {
namespace {

TEST(RowSharingTest, HelpsOnlyPicturesOfManyMegabytesWithASecondProcessor) {
    EXPECT_TRUE(RowSharing::worthwhile(16000, 12000, 2));
    EXPECT_TRUE(RowSharing::worthwhile(4096, 2048, 2));  // 8 Mi pixels
    EXPECT_FALSE(RowSharing::worthwhile(4096, 2047, 2));
    EXPECT_FALSE(RowSharing::worthwhile(16000, 12000, 1));
    EXPECT_FALSE(RowSharing::worthwhile(1600, 1200, 8));
    EXPECT_FALSE(RowSharing::worthwhile(0, 12000, 2));
    EXPECT_FALSE(RowSharing::worthwhile(12000, 0, 2));
    // Sizes whose product overflows 64 bits are judged without overflowing.
    EXPECT_TRUE(RowSharing::worthwhile(std::int64_t{1} << 40, std::int64_t{1} << 40, 2));
    EXPECT_TRUE(RowSharing::worthwhile(std::int64_t{1} << 62, 1, 2));
    EXPECT_EQ(RowSharing::chunkRows(16000), 16);
    EXPECT_EQ(RowSharing::chunkRows(1 << 20), 1);
    EXPECT_EQ(RowSharing::chunkRows(0), 1);
}

// The calling thread takes a prefix of the rows, the helper the rest, and
// no row is taken twice or left out, for chunk sizes that do and do not
// divide the rows.
TEST(RowSharingTest, EveryRowIsTakenOnceTopRowsByTheCallerBottomRowsByTheHelper) {
    for (const std::int64_t chunk : {1, 7, 16, 300}) {
        constexpr std::int64_t kRows = 997;
        std::vector<int> byCaller(kRows, 0);
        std::vector<int> byHelper(kRows, 0);
        std::atomic<bool> helperStarted{false};
        RowSharing sharing(
            kRows, chunk,
            [&](RowRange rows) {
                for (std::int64_t y = rows.first; y < rows.end; ++y) {
                    ++byHelper[static_cast<std::size_t>(y)];
                }
                helperStarted.store(true, std::memory_order_release);
                return true;
            },
            true);
        RowRange rows = sharing.takeTop();
        // Give the helper its first chunk before taking more, so both take rows.
        while (!helperStarted.load(std::memory_order_acquire)) {
            std::this_thread::yield();
        }
        std::int64_t next = 0;
        for (; !rows.empty(); rows = sharing.takeTop()) {
            ASSERT_EQ(rows.first, next) << "chunk " << chunk;
            for (std::int64_t y = rows.first; y < rows.end; ++y) {
                ++byCaller[static_cast<std::size_t>(y)];
            }
            next = rows.end;
        }
        const std::int64_t helped = sharing.finish();
        EXPECT_GT(helped, 0);
        EXPECT_EQ(next + helped, kRows) << "chunk " << chunk;
        for (std::int64_t y = 0; y < kRows; ++y) {
            const auto i = static_cast<std::size_t>(y);
            ASSERT_EQ(byCaller[i] + byHelper[i], 1) << "row " << y << ", chunk " << chunk;
            ASSERT_EQ(byCaller[i], y < next ? 1 : 0) << "row " << y << ", chunk " << chunk;
        }
    }
}

TEST(RowSharingTest, WithoutAHelperTheCallerTakesEveryRow) {
    bool worked = false;
    RowSharing sharing(
        50, 16,
        [&worked](RowRange) {
            worked = true;
            return true;
        },
        false);
    std::int64_t taken = 0;
    for (RowRange rows = sharing.takeTop(); !rows.empty(); rows = sharing.takeTop()) {
        taken += rows.end - rows.first;
    }
    EXPECT_EQ(taken, 50);
    EXPECT_EQ(sharing.finish(), 0);
    EXPECT_FALSE(worked);
}

// A helper that says it cannot go on takes no more: the caller gets the rest.
TEST(RowSharingTest, AHelperThatFailsStopsAndLeavesTheRestToTheCaller) {
    std::atomic<int> calls{0};
    std::int64_t taken = 0;
    std::int64_t helped = 0;
    {
        RowSharing sharing(
            100, 10,
            [&calls](RowRange) {
                ++calls;
                return false;
            },
            true);
        while (calls.load() == 0) {
            std::this_thread::yield();
        }
        for (RowRange rows = sharing.takeTop(); !rows.empty(); rows = sharing.takeTop()) {
            taken += rows.end - rows.first;
        }
        helped = sharing.finish();
    }
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(helped, 10);
    EXPECT_EQ(taken, 90);
}

// Destroyed while its helper is busy, the sharing stops the helper at its
// next chunk and waits for it.
TEST(RowSharingTest, DestroyingItStopsTheHelper) {
    std::atomic<std::int64_t> chunks{0};
    {
        RowSharing sharing(
            1000000, 1,
            [&chunks](RowRange) {
                ++chunks;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                return true;
            },
            true);
        while (chunks.load() == 0) {
            std::this_thread::yield();
        }
    }
    const std::int64_t after = chunks.load();
    EXPECT_LT(after, 1000000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(chunks.load(), after);
}

// Which pages of [data, data + length) are resident, one flag per page.
std::vector<bool> residentPages(const std::uint8_t* data, std::size_t length) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> flags((length + page - 1) / page);
    EXPECT_EQ(mincore(const_cast<std::uint8_t*>(data), length, flags.data()), 0);
    std::vector<bool> resident;
    for (unsigned char f : flags) {
        resident.push_back((f & 1) != 0);
    }
    return resident;
}

// Backing rows makes present every page that holds their samples, in all
// four planes, and the file's pages of the rows, whose bytes stay as they were.
TEST(BackRowsTest, BacksTheSamplesOfEveryPlaneInTheRows) {
    const auto page = static_cast<std::int64_t>(sysconf(_SC_PAGESIZE));
    const std::int64_t width = 3 * page + 5;
    const std::int64_t height = 20;  // under a megabyte: no huge pages to hide a missed page
    auto bitmap = MakeNewImageRep(width, height);
    ASSERT_TRUE(bitmap);
    std::vector<std::uint8_t> file(static_cast<std::size_t>(height * (width * 2 + 6)), 7);
    if (!backForWrite(file.data(), 1)) {
        GTEST_SKIP() << "this kernel cannot back memory on request";
    }
    const DecodeSource source{file.data(), {width, height, 16, width * 2 + 6}};
    ASSERT_TRUE(backRows(source, *bitmap, {5, 15}));
    for (std::int64_t row = 5; row < 15; ++row) {
        for (int plane = 0; plane < PlanarBitmap::kPlanes; ++plane) {
            const std::uint8_t* samples = bitmap->plane(plane) + row * bitmap->bytesPerRow();
            const auto address = reinterpret_cast<std::uintptr_t>(samples);
            const auto offset =
                static_cast<std::size_t>(address % static_cast<std::uintptr_t>(page));
            for (bool resident :
                 residentPages(samples - offset, offset + static_cast<std::size_t>(width))) {
                ASSERT_TRUE(resident) << "row " << row << ", plane " << plane;
            }
        }
    }
    for (std::uint8_t byte : file) {
        ASSERT_EQ(byte, 7);
    }
}

TEST(BackRowsTest, RefusesMemoryThatIsNoMapping) {
    auto bitmap = MakeNewImageRep(64, 4);
    ASSERT_TRUE(bitmap);
    // An address range the process has not mapped: the kernel refuses and
    // nothing is touched.
    const auto* unmapped = reinterpret_cast<const std::uint8_t*>(std::uintptr_t{4096});
    EXPECT_FALSE(backRows({unmapped, {64, 4, 32, 256}}, *bitmap, {0, 4}));
}

}  // namespace
}  // namespace vrs
