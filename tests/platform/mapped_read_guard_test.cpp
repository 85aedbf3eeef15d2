// SPDX-License-Identifier: MIT
#include "platform/mapped_read_guard.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/mapped_file.h"
#include "test_support.h"

namespace vrs {
namespace {

using testing::ScratchDir;

const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

// A mapping of three pages of a file that has since shrunk to one.
struct ShrunkMapping {
    ScratchDir dir;
    MappedFile file;
    ShrunkMapping() {
        std::vector<std::uint8_t> bytes(3 * kPage, 0x5A);
        bytes[17] = 0xC3;
        EXPECT_TRUE(testing::writeFile(dir / "f", bytes));
        EXPECT_TRUE(file.open((dir / "f").string())) << file.error();
        std::filesystem::resize_file(dir / "f", kPage);
    }
};

TEST(MappedReadGuardTest, AReadPastTheShrunkFileEndsTheWorkNotTheProcessOnEveryThread) {
    ShrunkMapping m;
    volatile std::uint8_t seen = 0;
    auto past = [&m, &seen] { seen = m.file.data()[2 * kPage]; };
    auto inside = [&m, &seen] { seen = m.file.data()[17]; };
    EXPECT_FALSE(readMapped(m.file.data(), m.file.size(), past));
    // Again: the first jump left SIGBUS unblocked.
    EXPECT_FALSE(readMapped(m.file.data(), m.file.size(), past));
    EXPECT_TRUE(readMapped(m.file.data(), m.file.size(), inside));
    EXPECT_EQ(seen, 0xC3);
    bool helperDone = true;
    std::thread helper([&] { helperDone = readMapped(m.file.data(), m.file.size(), past); });
    helper.join();
    EXPECT_FALSE(helperDone);
}

TEST(MappedReadGuardDeathTest, AFaultOutsideTheArmedRangeStillEndsTheProcess) {
    ShrunkMapping m;
    volatile std::uint8_t seen = 0;
    auto past = [&m, &seen] { seen = m.file.data()[2 * kPage]; };
    EXPECT_DEATH(readMapped(m.file.data(), kPage, past), "");
}

}  // namespace
}  // namespace vrs
