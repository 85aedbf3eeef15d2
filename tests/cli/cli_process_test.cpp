// SPDX-License-Identifier: MIT
// vrstool as a process: its memory before a refusal, and its signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "run_tool.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

// A sized-header file whose pixel rows are a hole: no disk, no writing time.
bool writeSparse(const fs::path& path, std::uint32_t width, std::uint32_t height) {
    VrsLayout layout;
    layout.width = width;
    layout.height = height;
    const std::vector<std::uint8_t> header = makeHeader(layout);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const auto length = static_cast<off_t>(header.size() + layoutStride(layout) * height);
    const bool ok =
        fd >= 0 && write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
        ftruncate(fd, length) == 0;
    return close(fd) == 0 && ok;
}

// Whether process `pid` has a file of `dir` open for writing: the export's
// temporary file, named or not.
bool writesIn(int pid, const fs::path& dir) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        const std::string target = fs::read_symlink(e.path(), ec).string();
        if (!ec && target.rfind(dir.string() + "/", 0) == 0 &&
            target.find("big.vrs") == std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(VrstoolProcess, TooWideForJpegIsRefusedBeforeItsRowsAreAllocated) {
    // Rows of 100 million pixels: 300 MB each once decoded, a 400 MB hole on the disk.
    constexpr std::uint32_t kWide = 100'000'000;
    ScratchDir dir;
    ASSERT_TRUE(writeSparse(dir / "wide.vrs", kWide, 1));
    const ToolRun r = runTool({"convert", "-o", "wide.jpg", "wide.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("JPEG holds at most 65500 pixels a side, and it is "
                                            "100000000 x 1"))
        << r.err;
    EXPECT_LT(r.peakKiB, 64 * 1024 + kSanitizerKiB);  // nothing sized by the picture was allocated
    EXPECT_FALSE(fs::exists(dir / "wide.jpg"));
}

// Every signal that ends the process leaves no temporary file (removing a
// named one), then ends it by that signal, as if no handler had run (no core
// file for SIGQUIT here).
TEST(VrstoolProcess, EveryTerminatingSignalLeavesNoTemporaryFileAndEndsByItself) {
    ScratchDir dir;
    ASSERT_TRUE(writeSparse(dir / "big.vrs", 16000, 12000));
    const rlimit noCore{0, 0};
    ASSERT_EQ(0, setrlimit(RLIMIT_CORE, &noCore));
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE}) {
        const int pid = startTool({"convert", "-o", "big.jpg", "big.vrs"}, dir.path());
        ASSERT_GT(pid, 0);
        // The export is under way once its temporary file (without a name
        // where the file system allows it) is open.
        bool writing = false;
        for (int i = 0; i < 60000 && !(writing = writesIn(pid, dir.path())); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(writing) << "no temporary file made";
        ASSERT_EQ(0, kill(pid, signal));
        int status = 0;
        ASSERT_EQ(pid, waitpid(pid, &status, 0));
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << " " << status;
        EXPECT_EQ(signal, WTERMSIG(status));
        EXPECT_EQ(std::vector<std::string>{"big.vrs"}, entries(dir.path())) << signal;
    }
}

// With standard output closed, a TIFF (spooled, then copied out) must fail:
// its spool must not take descriptor 1 and be copied onto itself.
TEST(VrstoolProcess, AClosedStandardOutputFailsEvenASpooledFormat) {
    ScratchDir dir;
    VrsLayout layout;
    layout.width = 7;
    layout.height = 3;
    ASSERT_TRUE(writeFile(dir / "in.vrs", makeVrs(layout, [](std::int64_t x, std::int64_t y) {
                              return Rgb{std::uint8_t(x), std::uint8_t(y), 9};
                          })));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int in = open((dir / "in.vrs").c_str(), O_RDONLY);
        if (in < 0 || dup2(in, 0) < 0 || close(1) != 0) {
            _exit(127);
        }
        execl(VRSTOOL_PATH, VRSTOOL_PATH, "convert", "-q", "-o", "-", "-f", "tif", "-", nullptr);
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(1, WEXITSTATUS(status));
}

}  // namespace
}  // namespace vrs::testing
