// SPDX-License-Identifier: MIT
#include "platform/mapped_file.h"
#include "platform/regular_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "test_support.h"

namespace vrs {
namespace {

using testing::ScratchDir;

TEST(MappedFileTest, MapsTheWholeFileReadOnly) {
    ScratchDir dir;
    std::vector<std::uint8_t> bytes(10007);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    ASSERT_TRUE(testing::writeFile(dir / "a.vrs", bytes));
    MappedFile file;
    ASSERT_TRUE(file.open((dir / "a.vrs").string())) << file.error();
    ASSERT_EQ(file.size(), bytes.size());
    EXPECT_EQ(std::memcmp(file.data(), bytes.data(), bytes.size()), 0);
    EXPECT_EQ(0, file.error());
}

TEST(MappedFileTest, AnEmptyFileMapsToNoBytes) {
    ScratchDir dir;
    ASSERT_TRUE(testing::writeFile(dir / "empty.vrs", {}));
    MappedFile file;
    ASSERT_TRUE(file.open((dir / "empty.vrs").string())) << file.error();
    EXPECT_EQ(file.size(), 0U);
    EXPECT_NE(file.data(), nullptr);
}

TEST(MappedFileTest, FailuresSayWhy) {
    ScratchDir dir;
    MappedFile file;
    const std::string missing = (dir / "missing.vrs").string();
    EXPECT_FALSE(file.open(missing));
    EXPECT_EQ(ENOENT, file.error());
    EXPECT_EQ(file.data(), nullptr);
    EXPECT_FALSE(file.open(dir.path().string()));
    EXPECT_EQ(EISDIR, file.error());
    EXPECT_EQ(file.size(), 0U);
}

TEST(MappedFileTest, PipesAndDevicesAreRefusedWithoutWaiting) {
    ScratchDir dir;
    const std::string pipe = (dir / "pipe.vrs").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    alarm(20);  // an open that waits for a writer ends the test instead of hanging it
    MappedFile file;
    for (const std::string& path : {pipe, std::string("/dev/null")}) {
        EXPECT_FALSE(file.open(path));
        EXPECT_EQ(kNotRegularFile, file.error());
    }
    alarm(0);
}

TEST(MappedFileTest, MovesHandTheMappingOver) {
    ScratchDir dir;
    ASSERT_TRUE(testing::writeFile(dir / "a", {1, 2, 3}));
    ASSERT_TRUE(testing::writeFile(dir / "b", {4, 5}));
    MappedFile a;
    ASSERT_TRUE(a.open((dir / "a").string()));
    const std::uint8_t* mapped = a.data();
    MappedFile b(std::move(a));
    EXPECT_EQ(b.data(), mapped);
    EXPECT_EQ(b.size(), 3U);
    EXPECT_EQ(a.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from is empty
    MappedFile c;
    ASSERT_TRUE(c.open((dir / "b").string()));
    c = std::move(b);
    ASSERT_EQ(c.size(), 3U);
    EXPECT_EQ(c.data()[2], 3);
    // Reopening replaces the mapping.
    ASSERT_TRUE(c.open((dir / "b").string()));
    EXPECT_EQ(c.size(), 2U);
    EXPECT_EQ(c.data()[1], 5);
}

}  // namespace
}  // namespace vrs
