// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vrs::testing {
namespace {

class RecordingProgressWindow : public ProgressWindow {
  public:
    explicit RecordingProgressWindow(ProgressLog* log) : log_(log) { ++log_->created; }
    ~RecordingProgressWindow() override { ++log_->destroyed; }
    void setTitle(std::string_view title) override { log_->titles.emplace_back(title); }
    void display() override { ++log_->displays; }
    void setMaxValue(double max) override { log_->maxValue = max; }
    void setDoubleValue(double value) override { log_->values.push_back(value); }
    void setIndeterminate(bool indeterminate) override { log_->indeterminate = indeterminate; }
    void startAnimation() override { log_->animating = true; }

  private:
    ProgressLog* log_;
};

}  // namespace

std::uint32_t RecordingHost::tickCount() {
    if (onTick) {
        onTick(*this);
    }
    const std::uint32_t now = tick;
    tick += ticksPerCall;
    return now;
}

void RecordingHost::runEventLoop(double seconds) {
    eventLoopTurns.push_back(seconds);
}

std::unique_ptr<ProgressWindow> RecordingHost::makeProgressWindow() {
    if (refuseProgressWindows) {
        return nullptr;
    }
    return std::make_unique<RecordingProgressWindow>(&progress);
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vrstest-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

VrsLayout fourKilobyteCapture() {
    VrsLayout layout;
    layout.width = 32;
    layout.height = 32;
    layout.stride = 128;
    return layout;
}

VrsLayout hostileClaim(std::int32_t depth) {
    VrsLayout layout;
    layout.depth = depth;
    layout.width = depth == 0 ? 8188 : 1024;
    layout.height = 2147483647;
    layout.stride = 4096;
    return layout;
}

bool writeSparseCapture(const std::filesystem::path& p, const VrsLayout& layout,
                        std::uint64_t held) {
    std::vector<std::uint8_t> bytes = makeHeader(layout);
    std::uint64_t length = 0;
    if (!rowLayoutOf(layout).bytesNeeded(&length)) {
        return false;
    }
    bytes.resize(bytes.size() + held, 0);
    std::error_code ec;
    return writeFile(p, bytes) && (std::filesystem::resize_file(p, length, ec), !ec);
}

namespace {

// Waits for child `pid`: its processor seconds, or -1 when a signal ended it.
double processorSecondsOf(pid_t pid) {
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFSIGNALED(status)) {
        return -1;
    }
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void limitProcessorTime() {
    const struct rlimit limit { kProcessorLimit, kProcessorLimit };
    if (setrlimit(RLIMIT_CPU, &limit) != 0) {
        _exit(126);
    }
}

}  // namespace

double childProcessorSeconds(const std::function<void()>& work, int times) {
    const pid_t pid = fork();
    if (pid < 0) {
        return -1;
    }
    if (pid == 0) {
        limitProcessorTime();
        for (int i = 0; i < times; ++i) {
            work();
        }
        _exit(0);
    }
    return processorSecondsOf(pid);
}

double programProcessorSeconds(const std::vector<std::string>& args) {
    std::vector<char*> argv = argvOf(args);
    const pid_t pid = fork();
    if (pid < 0) {
        return -1;
    }
    if (pid == 0) {
        limitProcessorTime();
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || dup2(null, STDOUT_FILENO) < 0 || dup2(null, STDERR_FILENO) < 0) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    return processorSecondsOf(pid);
}

}  // namespace vrs::testing
