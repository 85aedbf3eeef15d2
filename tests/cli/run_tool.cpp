// SPDX-License-Identifier: MIT
#include "run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "qt_pixels.h"
#include "test_support.h"
#include "vrscreen/loader.h"

namespace vrs::testing {
namespace {

// Forks vrstool in `dir` with stdout and stderr sent to the two files and
// stdin read from `input` when given; with `peakPath`, through peak_launcher,
// which writes vrstool's peak memory there. A run still going after a minute
// is killed, so a hang fails instead of blocking the suite.
pid_t spawn(const std::vector<std::string>& args, const std::filesystem::path& dir,
            const std::string& outPath, const std::string& errPath, bool withoutHome,
            const std::string& input, const std::string& peakPath = {}) {
    std::vector<std::string> argv;
    if (!peakPath.empty()) {
        argv = {PEAK_LAUNCHER_PATH, peakPath};
    }
    argv.push_back(VRSTOOL_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        if (withoutHome) {
            unsetenv("HOME");
        }
        if (!input.empty()) {
            const int in = open(input.c_str(), O_RDONLY);
            if (in < 0 || dup2(in, 0) < 0) {
                _exit(127);
            }
        }
        alarm(60);
        execv(raw[0], raw.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

ToolRun runTool(const std::vector<std::string>& args, const std::filesystem::path& dir,
                bool withoutHome, const std::string& input) {
    const std::string outPath = (dir / ".tool-stdout").string();
    const std::string errPath = (dir / ".tool-stderr").string();
    const std::string peakPath = (dir / ".tool-peak").string();
    const pid_t pid = spawn(args, dir, outPath, errPath, withoutHome, input, peakPath);
    ToolRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
        const auto peak = readFile(peakPath);
        run.peakKiB = std::atol(std::string(peak.begin(), peak.end()).c_str());
        if (run.peakKiB <= 0) {
            run.status = -1;  // the launcher could not tell the peak
        }
    }
    const auto out = readFile(outPath);
    const auto err = readFile(errPath);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    for (const std::string& path : {outPath, errPath, peakPath}) {
        std::filesystem::remove(path);
    }
    return run;
}

int startTool(const std::vector<std::string>& args, const std::filesystem::path& dir) {
    return spawn(args, dir, "/dev/null", "/dev/null", false, {});
}

Decoded decodeFile(const std::filesystem::path& file) {
    const auto bytes = readFile(file);
    RecordingHost host;
    std::int64_t progress = 1;
    Decoded d;
    d.full = loadVirtualScreen(bytes.data(), bytes.size(), &d.view, &progress, host);
    return d;
}

QImage readPicture(const std::filesystem::path& file) {
    return toRgb888(QImage(QString::fromStdString(file.string())));
}

std::int64_t differingPixels(const QImage& picture, const Image& image) {
    const PlanarBitmap& b = *image.rep();
    if (picture.width() != b.width() || picture.height() != b.height()) {
        return -1;
    }
    std::int64_t count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* line = picture.constScanLine(y);
        const std::int64_t row = y * b.bytesPerRow();
        for (int x = 0; x < picture.width(); ++x) {
            count += line[3 * x] != b.plane(0)[row + x] || line[3 * x + 1] != b.plane(1)[row + x] ||
                     line[3 * x + 2] != b.plane(2)[row + x];
        }
    }
    return count;
}

}  // namespace vrs::testing
