// SPDX-License-Identifier: MIT
#include "test_support.h"

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

}  // namespace vrs::testing
