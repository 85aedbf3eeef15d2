// SPDX-License-Identifier: MIT
// What vrstool takes as input: regular files that may change under it,
// standard input, and nothing that could block.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void writePicture(const fs::path& path, std::uint32_t w, std::uint32_t h, int depth = 32) {
    VrsLayout layout;
    layout.width = w;
    layout.height = h;
    layout.depth = depth;
    ASSERT_TRUE(writeVrsFile(path.string(), layout, samplePicture(w, h)));
}

// A 16000 x 12000 capture that takes long to read (a reader is still at it
// when the test changes the file) and little disk: holes, but one byte of
// data in each row, so no row can be passed over as a hole. Returns its size.
std::uint64_t writeLongRead(const fs::path& path) {
    VrsLayout big;
    big.width = 16000;
    big.height = 12000;
    big.stride = 4 * big.width;
    const std::uint64_t size = 196 + static_cast<std::uint64_t>(big.stride) * big.height;
    if (!writeFile(path, makeHeader(big))) {
        return 0;
    }
    fs::resize_file(path, size);
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    bool written = fd >= 0;
    for (std::uint32_t y = 0; written && y < big.height; ++y) {
        const std::uint8_t byte = 1;
        written = pwrite(fd, &byte, 1,
                         static_cast<off_t>(196 + static_cast<std::uint64_t>(big.stride) * y +
                                            big.stride / 2)) == 1;
    }
    return fd >= 0 && close(fd) == 0 && written ? size : 0;
}

// Whether a process has a temporary file of `folder` open: one without a
// name, or named as the export names one.
bool anyProcessWritesIn(const fs::path& folder) {
    std::error_code ec;
    for (const auto& process : fs::directory_iterator("/proc", ec)) {
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", ec)) {
            const std::string target = fs::read_symlink(fd.path(), ec).string();
            const std::string name = fs::path(target).filename().string();
            if (!ec && target.rfind(folder.string() + "/", 0) == 0 &&
                (name.rfind(".vrsexport-", 0) == 0 || !fs::exists(target, ec))) {
                return true;
            }
        }
        ec.clear();
    }
    return false;
}

TEST(VrstoolInputs, AFileChangingWhileConvertedFailsAloneAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    // A picture large enough to be still converting when it is cut short:
    // sparse, so it costs no disk.
    VrsLayout big;
    big.width = 16000;
    big.height = 12000;
    big.stride = 4 * big.width;
    ASSERT_TRUE(writeFile(dir / "changing.vrs", makeHeader(big)));
    fs::resize_file(dir / "changing.vrs", 196 + std::uint64_t{4} * big.width * big.height);
    writePicture(dir / "a.vrs", 301, 97);
    writePicture(dir / "c.vrs", 55, 31);
    fs::create_directory(dir / "out");
    ToolRun r;
    std::thread run([&] {
        r = runTool(
            {"convert", "-j", "2", "-d", "out", "-f", "png", "changing.vrs", "a.vrs", "c.vrs"},
            dir.path());
    });
    // Once the small files are written and the big one's output is open (a
    // file without a name, or a temporary one), it is being converted: the
    // capture is then copied over, which truncates it first.
    const auto converting = [&] {
        return entries(dir / "out") == std::vector<std::string>{"a.png", "c.png"} &&
               anyProcessWritesIn(dir / "out");
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!converting() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool seen = converting();
    if (seen) {
        fs::resize_file(dir / "changing.vrs", 1000);
    }
    run.join();
    ASSERT_TRUE(seen) << r.err;
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vrstool: changing.vrs: changed while it was being read\n", r.err);
    EXPECT_EQ((std::vector<std::string>{"a.png", "c.png"}), entries(dir / "out"));
    EXPECT_EQ(97, readPicture(dir / "out" / "a.png").height());
    EXPECT_EQ(31, readPicture(dir / "out" / "c.png").height());
}

// A capture rewritten in place keeps its size: the read tells it by the
// file's change time, and neither command writes a mixed picture.
TEST(VrstoolInputs, AFileRewrittenInPlaceWhileReadFailsAndWritesNothing) {
    ScratchDir dir;
    const std::uint64_t size = writeLongRead(dir / "in.vrs");
    ASSERT_GT(size, 0u);
    const std::vector<std::vector<std::string>> commands{{"convert", "-o", "ow.png", "in.vrs"},
                                                         {"thumbnail", "in.vrs", "ow.png"}};
    for (const auto& command : commands) {
        // An old modification time: the rewrite changes it whatever the clock's grain.
        const timespec old[2] = {{1, 0}, {1, 0}};
        ASSERT_EQ(0, utimensat(AT_FDCWD, (dir / "in.vrs").c_str(), old, 0));
        const int watch = inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(inotify_add_watch(watch, (dir / "in.vrs").c_str(), IN_ACCESS), 0);
        ToolRun r;
        std::thread run([&] { r = runTool(command, dir.path()); });
        // The first read is the header's: the file has been opened and stamped.
        pollfd event{watch, POLLIN, 0};
        const bool read = poll(&event, 1, 60000) == 1;
        if (read) {
            const int fd = open((dir / "in.vrs").c_str(), O_WRONLY | O_CLOEXEC);
            const std::uint8_t bytes[4] = {1, 2, 3, 4};
            EXPECT_EQ(4, pwrite(fd, bytes, 4, static_cast<off_t>(size / 2)));
            EXPECT_EQ(0, close(fd));
        }
        run.join();
        EXPECT_EQ(0, close(watch));
        ASSERT_TRUE(read) << r.err;
        EXPECT_EQ(1, r.status) << command[0];
        EXPECT_EQ("vrstool: in.vrs: changed while it was being read\n", r.err) << command[0];
        EXPECT_EQ(std::vector<std::string>{"in.vrs"}, entries(dir.path())) << command[0];
        EXPECT_EQ(size, fs::file_size(dir / "in.vrs"));
    }
}

TEST(VrstoolInputs, AFileChangingWhileWrittenToStandardOutputIsToldSo) {
    ScratchDir dir;
    ASSERT_GT(writeLongRead(dir / "changing.vrs"), 0u);
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, (dir / "changing.vrs").c_str(), IN_ACCESS), 0);
    ToolRun r;
    std::thread run([&] { r = runTool({"convert", "-o", "-", "changing.vrs"}, dir.path()); });
    // The first read is the header's: the file has been opened at its full size.
    pollfd event{watch, POLLIN, 0};
    const bool read = poll(&event, 1, 60000) == 1;
    if (read) {
        fs::resize_file(dir / "changing.vrs", 1000);
    }
    run.join();
    EXPECT_EQ(0, close(watch));
    ASSERT_TRUE(read) << r.err;
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("vrstool: changing.vrs: changed while it was being read\n", r.err);
}

TEST(VrstoolInputs, PipesDevicesAndFoldersAreRefusedAtOnce) {
    ScratchDir dir;
    ASSERT_EQ(0, mkfifo((dir / "pipe.vrs").c_str(), 0600));
    fs::create_directory(dir / "folder.vrs");
    for (const std::string input : {"pipe.vrs", "/dev/null"}) {
        SCOPED_TRACE(input);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"info", input},
              std::vector<std::string>{"convert", "-o", "out.png", input},
              std::vector<std::string>{"thumbnail", input, "t.png"}}) {
            const ToolRun r = runTool(args, dir.path());
            EXPECT_EQ(1, r.status) << args[0];  // -1 when the alarm ended a blocked run
            EXPECT_TRUE(has(r.out + r.err, input + ": not a regular file")) << r.out << r.err;
        }
    }
    const ToolRun r = runTool({"thumbnail", "folder.vrs", "t.png"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ((std::vector<std::string>{"folder.vrs", "pipe.vrs"}), entries(dir.path()));
}

TEST(VrstoolInputs, StandardInputIsReadUpToTheBytesItsHeaderNeeds) {
    ScratchDir dir;
    writePicture(dir / "in.vrs", 211, 67, 16);
    ToolRun r = runTool({"convert", "-o", "full.png", "-"}, dir.path(), false, "in.vrs");
    ASSERT_EQ(0, r.status) << r.err;
    const Decoded d = decodeFile(dir / "in.vrs");
    ASSERT_TRUE(d.full);
    EXPECT_EQ(0, differingPixels(readPicture(dir / "full.png"), *d.full));
    r = runTool({"thumbnail", "-s", "50", "-", "t.png"}, dir.path(), false, "in.vrs");
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(QSize(50, 16), readPicture(dir / "t.png").size());

    // A stream ending early is refused in the loader's words, with its length.
    auto bytes = readFile(dir / "in.vrs");
    bytes.resize(196 + 1000);
    ASSERT_TRUE(writeFile(dir / "short.vrs", bytes));
    r = runTool({"info", "-"}, dir.path(), false, "short.vrs");
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(has(r.err, "(28,934 bytes of rows) but only 1,000 bytes follow it")) << r.err;
    r = runTool({"convert", "-o", "x.png", "-"}, dir.path(), false, "short.vrs");
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(has(r.err, "vrstool: standard input: This file can't be read:")) << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.png"));
}

TEST(VrstoolInputs, AThumbnailNeedsLittleMemoryHoweverWideThePicture) {
    ScratchDir dir;
    VrsLayout layout;
    // Whole rows would take 300 MB of planes; the thumbnail reads every pixel
    // once, which a sanitizer's instrumentation makes slow, so no wider.
    layout.width = 100'000'000;
    layout.height = 1;
    layout.stride = 4 * layout.width;
    ASSERT_TRUE(writeFile(dir / "wide.vrs", makeHeader(layout)));
    // Sparse: the rows take no disk and read as zeros.
    fs::resize_file(dir / "wide.vrs", 196 + std::uint64_t{4} * layout.width);
    const ToolRun r = runTool({"thumbnail", "-s", "128", "wide.vrs", "t.png"}, dir.path());
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(QSize(128, 1), readPicture(dir / "t.png").size());
    EXPECT_LT(r.peakKiB, 32 * 1024 + kSanitizerKiB);
}

}  // namespace
}  // namespace vrs::testing
