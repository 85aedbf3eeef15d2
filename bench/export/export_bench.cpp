// SPDX-License-Identifier: MIT
// Encoder speed and output size on a screen-like picture, and the PNG
// settings the encoder's defaults were chosen from:
//   build/default/bench/export/export_bench --benchmark_filter=Png
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "decode/planar_bitmap.h"
#include "export/encoders.h"
#include "export/png/png_settings.h"
#include "sample_picture.h"

namespace {

// Counts bytes and drops them.
class CountingStream final : public vrs::OutputStream {
  public:
    bool write(const void*, std::size_t size) override {
        position_ += size;
        size_ = std::max(size_, position_);
        return true;
    }
    bool seek(std::uint64_t position) override {
        position_ = position;
        return true;
    }
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return size_; }
    bool failed() const override { return false; }

  private:
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
};

const vrs::PlanarBitmap& picture() {
    static const std::shared_ptr<vrs::PlanarBitmap> bitmap = [] {
        constexpr std::int64_t kW = 4000, kH = 3000;
        auto b = vrs::MakeNewImageRep(kW, kH);
        for (std::int64_t y = 0; y < kH; ++y) {
            for (std::int64_t x = 0; x < kW; ++x) {
                const auto c = vrs::testing::samplePixel(x, y, kW, kH);
                const std::int64_t i = y * b->bytesPerRow() + x;
                b->plane(0)[i] = c.r;
                b->plane(1)[i] = c.g;
                b->plane(2)[i] = c.b;
                b->plane(3)[i] = 255;
            }
        }
        return b;
    }();
    return *bitmap;
}

void encodeFormat(benchmark::State& state, vrs::ImageFormat format) {
    vrs::BitmapRowSource source(picture());
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        CountingStream out;
        if (!vrs::encodeImage(format, source, out)) {
            state.SkipWithError("encoder failed");
            return;
        }
        bytes = out.size();
    }
    state.counters["KB"] = static_cast<double>(bytes) / 1000.0;
}

BENCHMARK_CAPTURE(encodeFormat, Tiff, vrs::ImageFormat::Tiff)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeFormat, Jpeg, vrs::ImageFormat::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeFormat, Bmp, vrs::ImageFormat::Bmp)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeFormat, Gif, vrs::ImageFormat::Gif)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encodeFormat, Png, vrs::ImageFormat::Png)->Unit(benchmark::kMillisecond);

// args: zlib level, PNG filter bits, zlib strategy
void pngSettings(benchmark::State& state) {
    vrs::BitmapRowSource source(picture());
    vrs::PngSettings settings;
    settings.deflate.level = static_cast<int>(state.range(0));
    settings.filters = static_cast<int>(state.range(1));
    settings.deflate.strategy = static_cast<int>(state.range(2));
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        CountingStream out;
        vrs::encodePngWith(source, out, settings);
        bytes = out.size();
    }
    state.counters["KB"] = static_cast<double>(bytes) / 1000.0;
}

// Filters: 0 the encoder's row choice, 0x08 none, 0x10 sub, 0x20 up,
// 0x30 sub+up, 0xF8 all five (libpng's heuristic).
BENCHMARK(pngSettings)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7}, {0, 0x08, 0x10, 0x20, 0x30, 0xF8}, {0}})
    ->ArgsProduct({{4, 5, 6, 7}, {0, 0x08}, {1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
