// SPDX-License-Identifier: MIT
// Decoding speed against the memory's own: for 32- and 16-bit screen-like
// pictures of 1600 x 1200, 4000 x 3000 and 16000 x 12000 pixels,
//   Floor: memcpy of 4 bytes per pixel between buffers already in memory;
//   Warm:  the decoder's pass over the rows into bitmaps touched before;
//   Fresh: Data2NSImage over a mapping read before, into bitmaps it makes:
//          memory the process has never touched, as the viewer meets it;
//   Cold:  loadVirtualScreen from a fresh mapping into fresh bitmaps.
// Warm and Cold report x_floor, their wall-clock time over the floor's for
// that size, and x_floor_cpu, the same with the process's CPU time (the
// decoder's helper thread included), which is steadier when other work
// shares the processors and shows what the helper's time on a second
// processor costs in all.
// The sample files are written once into a temporary directory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/headless_host.h"
#include "decode/decode_pass.h"
#include "decode/decoder.h"
#include "platform/mapped_file.h"
#include "sample_picture.h"
#include "vrs_writer.h"
#include "vrscreen/loader.h"

namespace {

using Clock = std::chrono::steady_clock;

// Wall-clock and CPU seconds of one timed stretch.
struct Seconds {
    double wall = 0;
    double cpu = 0;
};

double processCpuSeconds() {
    timespec t{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0) {
        return 0;
    }
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Stopwatch {
  public:
    Stopwatch() : wall_(Clock::now()), cpu_(processCpuSeconds()) {}
    void addTo(Seconds* total) const {
        total->wall += std::chrono::duration<double>(Clock::now() - wall_).count();
        total->cpu += processCpuSeconds() - cpu_;
    }

  private:
    Clock::time_point wall_;
    double cpu_;
};

class SampleFiles {
  public:
    ~SampleFiles() {
        std::error_code ec;
        if (!dir_.empty()) {
            std::filesystem::remove_all(dir_, ec);
        }
    }
    // The path of a sample file, written on first use; empty on failure.
    std::string path(std::int64_t width, std::int64_t height, std::int32_t depth) {
        const std::string name =
            std::to_string(width) + "x" + std::to_string(height) + "-" + std::to_string(depth);
        if (auto it = paths_.find(name); it != paths_.end()) {
            return it->second;
        }
        if (dir_.empty() && !makeDir()) {
            return {};
        }
        vrs::testing::VrsLayout layout;
        layout.depth = depth;
        layout.width = static_cast<std::uint32_t>(width);
        layout.height = static_cast<std::uint32_t>(height);
        const std::string file = (dir_ / (name + ".vrs")).string();
        if (!vrs::testing::writeVrsFile(file, layout, vrs::testing::samplePicture(width, height))) {
            return {};
        }
        return paths_[name] = file;
    }

  private:
    bool makeDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vrsbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return false;
        }
        dir_ = pattern;
        return true;
    }
    std::filesystem::path dir_;
    std::map<std::string, std::string> paths_;
};

SampleFiles& samples() {
    static SampleFiles files;
    return files;
}

// Seconds per iteration of the floor, by picture width.
std::map<std::int64_t, Seconds>& floors() {
    static std::map<std::int64_t, Seconds> seconds;
    return seconds;
}

void reportRatio(benchmark::State& state, std::int64_t width, const Seconds& total) {
    const auto floor = floors().find(width);
    const auto n = static_cast<double>(state.iterations());
    if (floor != floors().end() && n > 0 && floor->second.wall > 0 && floor->second.cpu > 0) {
        state.counters["x_floor"] = total.wall / n / floor->second.wall;
        state.counters["x_floor_cpu"] = total.cpu / n / floor->second.cpu;
    }
}

void touchAll(const std::uint8_t* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; i += 4096) {
        sum += data[i];
    }
    benchmark::DoNotOptimize(sum);
}

void BM_Floor(benchmark::State& state) {
    const std::int64_t width = state.range(0);
    const auto bytes = static_cast<std::size_t>(width * state.range(1) * 4);
    std::vector<std::uint8_t> src(bytes, 0x5A);
    std::vector<std::uint8_t> dst(bytes, 0);
    Seconds total;
    for (auto _ : state) {
        const Stopwatch watch;
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::ClobberMemory();
        watch.addTo(&total);
    }
    const auto n = static_cast<double>(state.iterations());
    floors()[width] = {total.wall / n, total.cpu / n};
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

// The sample of the state's width, height and depth, mapped and in the page
// cache, with its header read; false (the benchmark skipped) when it cannot be.
bool openSample(benchmark::State& state, vrs::MappedFile* file, vrs::VirtualScreenInfo* info) {
    const auto depth = static_cast<std::int32_t>(state.range(2));
    if (!file->open(samples().path(state.range(0), state.range(1), depth))) {
        state.SkipWithError("cannot write or map the sample file");
        return false;
    }
    touchAll(file->data(), file->size());
    *info = vrs::inspectVirtualScreen(file->data(), file->size());
    if (info->error != vrs::LoadError::None) {
        state.SkipWithError("cannot load the sample file");
        return false;
    }
    return true;
}

void BM_Warm(benchmark::State& state) {
    const std::int64_t width = state.range(0);
    const std::int64_t height = state.range(1);
    vrs::MappedFile file;
    vrs::VirtualScreenInfo info;
    if (!openSample(state, &file, &info)) {
        return;
    }
    const vrs::ViewSize view = vrs::viewSizeFor(width, height);
    auto full = vrs::MakeNewImageRep(width, height);
    auto small = vrs::MakeNewImageRep(view.width, view.height);
    if (!full || !small) {
        state.SkipWithError("cannot make the images");
        return;
    }
    vrs::HeadlessHost host(nullptr);
    const vrs::DecodeSource source{file.data(), info.layout};
    std::int64_t counter = 0;
    vrs::DecodeProgress untimed(host, &counter, width, height);
    vrs::decodePass(source, *full, *small, untimed);  // touches every page the pass writes
    Seconds total;
    for (auto _ : state) {
        std::int64_t progress = 1;
        const Stopwatch watch;
        vrs::DecodeProgress decodeProgress(host, &progress, width, height);
        vrs::decodePass(source, *full, *small, decodeProgress);
        benchmark::ClobberMemory();
        watch.addTo(&total);
    }
    reportRatio(state, width, total);
    state.SetItemsProcessed(width * height * state.iterations());
}

// Fresh image memory, rows read from the mapping (already in memory) or with
// pread from the file's descriptor, as the viewer reads them.
void freshDecode(benchmark::State& state, bool readRows) {
    const std::int64_t width = state.range(0);
    const std::int64_t height = state.range(1);
    vrs::MappedFile file;
    vrs::VirtualScreenInfo info;
    if (!openSample(state, &file, &info)) {
        return;
    }
    vrs::HeadlessHost host(nullptr);
    Seconds total;
    for (auto _ : state) {
        std::shared_ptr<vrs::Image> view;
        std::int64_t progress = 1;
        const Stopwatch watch;
        std::shared_ptr<vrs::Image> full = vrs::Data2NSImage(
            file.data(), info.layout, &view, &progress, host, nullptr, readRows ? file.fd() : -1);
        watch.addTo(&total);
        state.PauseTiming();
        if (!full) {
            state.SkipWithError("cannot decode the sample file");
        }
        full.reset();
        view.reset();
        state.ResumeTiming();
    }
    reportRatio(state, width, total);
    state.SetItemsProcessed(width * height * state.iterations());
}

void BM_Fresh(benchmark::State& state) {
    freshDecode(state, false);
}
void BM_FreshRead(benchmark::State& state) {
    freshDecode(state, true);
}

void BM_Cold(benchmark::State& state) {
    const std::int64_t width = state.range(0);
    const std::int64_t height = state.range(1);
    const auto depth = static_cast<std::int32_t>(state.range(2));
    const std::string path = samples().path(width, height, depth);
    vrs::HeadlessHost host(nullptr);
    Seconds total;
    for (auto _ : state) {
        const Stopwatch watch;
        vrs::MappedFile file;
        std::shared_ptr<vrs::Image> view;
        std::int64_t progress = 1;
        std::shared_ptr<vrs::Image> full;
        if (file.open(path)) {
            full = vrs::loadVirtualScreen(file.data(), file.size(), &view, &progress, host);
        }
        watch.addTo(&total);
        state.PauseTiming();
        if (!full) {
            state.SkipWithError("cannot load the sample file");
        }
        full.reset();
        view.reset();
        state.ResumeTiming();
    }
    reportRatio(state, width, total);
    state.SetItemsProcessed(width * height * state.iterations());
}

void sizes(benchmark::internal::Benchmark* b, bool withDepth) {
    for (const auto& [w, h] : {std::pair<int, int>{1600, 1200}, {4000, 3000}, {16000, 12000}}) {
        if (withDepth) {
            b->Args({w, h, 32})->Args({w, h, 16});
        } else {
            b->Args({w, h});
        }
    }
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Registered in this order so that each size's floor is known before its ratios.
BENCHMARK(BM_Floor)->Apply([](auto* b) { sizes(b, false); });
BENCHMARK(BM_Warm)->ArgNames({"w", "h", "depth"})->Apply([](auto* b) { sizes(b, true); });
BENCHMARK(BM_Fresh)->ArgNames({"w", "h", "depth"})->Apply([](auto* b) { sizes(b, true); });
BENCHMARK(BM_FreshRead)->ArgNames({"w", "h", "depth"})->Apply([](auto* b) { sizes(b, true); });
BENCHMARK(BM_Cold)->ArgNames({"w", "h", "depth"})->Apply([](auto* b) { sizes(b, true); });

}  // namespace

BENCHMARK_MAIN();
