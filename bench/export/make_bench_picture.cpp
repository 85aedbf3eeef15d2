// SPDX-License-Identifier: MIT
// make-bench-picture [--kind KIND] W H OUT.vrs: a sized 32-bit file whose rows
// follow each other without padding (stride 4 x W), so that general-purpose
// converters can read the same pixels as raw data. Kinds:
//   screen    the screen-like sample: flat windows, text-like glyphs (default)
//   flat      the same on a flat desktop: a dozen colours
//   gradient  a smooth wallpaper
//   photo     a smooth colour field with sensor-like noise
//   noise     every byte random
//   palette   the photo reduced to 216 colours
//   deep16    the photo as a 16-bit capture decodes: every channel a multiple of 8
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_picture.h"
#include "vrs_writer.h"

namespace {

using vrs::testing::PixelFunction;
using vrs::testing::Rgb;

std::uint32_t mix(std::uint64_t x, std::uint64_t y) {
    std::uint64_t h = x * 0x9E3779B97F4A7C15ull ^ (y + 0x632BE59BD9B4E5ull) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<std::uint32_t>(h);
}

std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v));
}

Rgb photo(std::int64_t x, std::int64_t y, double w, double h) {
    const double u = static_cast<double>(x) / w;
    const double v = static_cast<double>(y) / h;
    const std::uint32_t n = mix(static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y));
    const auto noise = [n](int shift) { return static_cast<double>((n >> shift) & 7) - 3.5; };
    return {clampByte(128 + 90 * std::sin(5 * u + 2 * v) + noise(0)),
            clampByte(120 + 80 * std::cos(3 * v - 4 * u * v) + noise(8)),
            clampByte(110 + 70 * std::sin(7 * u * u + 3 * v) + noise(16))};
}

PixelFunction pictureOf(const std::string& kind, std::int64_t width, std::int64_t height) {
    const double w = static_cast<double>(width);
    const double h = static_cast<double>(height);
    if (kind == "screen") {
        return vrs::testing::samplePicture(width, height);
    }
    if (kind == "flat") {
        return [width, height](std::int64_t x, std::int64_t y) {
            const Rgb p = vrs::testing::samplePixel(x, y, width, height);
            // The sample's desktop, and only it, has blue 170.
            return p.b == 170 ? Rgb{58, 110, 165} : p;
        };
    }
    if (kind == "gradient") {
        return [w, h](std::int64_t x, std::int64_t y) {
            const double u = static_cast<double>(x) / w;
            const double v = static_cast<double>(y) / h;
            return Rgb{clampByte(40 + 160 * u), clampByte(60 + 120 * v),
                       clampByte(200 - 150 * std::hypot(u - 0.5, v - 0.4))};
        };
    }
    if (kind == "photo") {
        return [w, h](std::int64_t x, std::int64_t y) { return photo(x, y, w, h); };
    }
    if (kind == "noise") {
        return [](std::int64_t x, std::int64_t y) {
            const std::uint32_t n =
                mix(static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y));
            return Rgb{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                       static_cast<std::uint8_t>(n >> 16)};
        };
    }
    if (kind == "palette") {
        return [w, h](std::int64_t x, std::int64_t y) {
            const Rgb p = photo(x, y, w, h);
            const auto level = [](std::uint8_t c) {
                return static_cast<std::uint8_t>(c / 43 * 51);
            };
            return Rgb{level(p.r), level(p.g), level(p.b)};
        };
    }
    if (kind == "deep16") {
        return [w, h](std::int64_t x, std::int64_t y) {
            const Rgb p = photo(x, y, w, h);
            return Rgb{static_cast<std::uint8_t>(p.r & 0xF8), static_cast<std::uint8_t>(p.g & 0xF8),
                       static_cast<std::uint8_t>(p.b & 0xF8)};
        };
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    std::string kind = "screen";
    if (argc == 6 && std::strcmp(argv[1], "--kind") == 0) {
        kind = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-bench-picture [--kind KIND] WIDTH HEIGHT OUT.vrs\n");
        return 2;
    }
    vrs::testing::VrsLayout layout;
    layout.width = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    layout.height = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    if (layout.width == 0 || layout.height == 0 || layout.width > 100000 ||
        layout.height > 100000) {
        std::fprintf(stderr, "make-bench-picture: sizes from 1 to 100000\n");
        return 2;
    }
    const PixelFunction pixel = pictureOf(kind, layout.width, layout.height);
    if (!pixel) {
        std::fprintf(stderr, "make-bench-picture: unknown kind %s\n", kind.c_str());
        return 2;
    }
    layout.stride = 4 * static_cast<std::int64_t>(layout.width);
    if (!vrs::testing::writeVrsFile(argv[3], layout, pixel)) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
