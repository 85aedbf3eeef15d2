// SPDX-License-Identifier: MIT
// load_file FILE: maps a virtual-screen file and decodes it as the viewer
// does, then prints the time taken and the resident memory at the end.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/headless_host.h"
#include "platform/mapped_file.h"
#include "vrscreen/loader.h"

namespace {

long residentMiB() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) {
        return -1;
    }
    long pages = 0;
    long resident = -1;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
        resident = -1;
    }
    if (std::fclose(f) != 0 || resident < 0) {
        return -1;
    }
    return resident * 4096 / (1024 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_file FILE.vrs\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    vrs::MappedFile file;
    if (!file.open(argv[1])) {
        std::fprintf(stderr, "load_file: %s: %s\n", argv[1], std::strerror(file.error()));
        return 1;
    }
    vrs::HeadlessHost host(stderr, "load_file: ");
    std::shared_ptr<vrs::Image> view;
    std::int64_t progress = 1;
    vrs::VirtualScreenInfo refusal;
    const auto full = vrs::loadVirtualScreen(file.data(), file.size(), &view, &progress, host,
                                             &refusal, file.fd());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!full) {
        if (refusal.error != vrs::LoadError::None) {
            std::fprintf(stderr, "load_file: %s: %s\n", argv[1],
                         vrs::describeLoadError(refusal).c_str());
        }
        return 1;
    }
    std::printf("%.0f x %.0f pixels loaded in %.3f s; resident %ld MiB\n", full->size().width,
                full->size().height, seconds, residentMiB());
    return 0;
}
