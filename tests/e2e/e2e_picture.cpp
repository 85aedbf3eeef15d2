// SPDX-License-Identifier: MIT
// e2e-picture: writes a virtual-screen file made for checking a viewer by its
// screenshots: a grid of 4 x 3 flat blocks in distinct colours (no colour is
// a channel permutation of another) and a light square inside the top-left
// block only, so that a flip, a mirror or a channel swap shows at once.
// Channel values are multiples of 8, so 16-bit files decode to the same
// colours as 32-bit ones.
//
//   e2e-picture [--depth 16|32] [--rect] [--truncate] [--checker] [--grain]
//               [--patch X,Y,W,H]... WIDTH HEIGHT OUT.vrs
//   e2e-picture --colours      (prints the block colours, the mark, the checker, the patch)
//
// --truncate cuts the rows short, giving a file the viewer must refuse.
// --grain takes 8 from the red of pixels picked at random (within every
// screenshot tolerance): a picture that is slow to compress.
// --checker fills block (1, 1) with a checkerboard of single pixels in its own
// colour and the checker colour: a view image reduced by 2 keeps one of the
// two, only the full picture shows both.
// --patch paints a rectangle (x, y from the top-left corner) in the patch
// colour: a picture with a known change from the one without.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "vrs_writer.h"

namespace {

using vrs::testing::Rgb;

constexpr int kColumns = 4;
constexpr int kRows = 3;
constexpr Rgb kBlocks[kRows][kColumns] = {
    {{232, 64, 24}, {40, 200, 96}, {48, 96, 216}, {224, 176, 32}},
    {{152, 40, 192}, {32, 168, 208}, {240, 112, 176}, {136, 96, 48}},
    {{208, 104, 8}, {96, 216, 160}, {72, 40, 120}, {176, 224, 104}},
};
constexpr Rgb kMark = {248, 248, 248};
constexpr Rgb kChecker = {112, 24, 56};
constexpr Rgb kPatch = {8, 248, 200};
constexpr int kMostPatches = 8;

struct Patch {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t w = 0;
    std::int64_t h = 0;
    bool covers(std::int64_t px, std::int64_t py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
};

// Block (column, row) covers x in [W*c/4, W*(c+1)/4), y in [H*r/3, H*(r+1)/3),
// y counted from the top row. The mark covers [1/8, 3/8) of block (0, 0) in
// both directions, clear of the block's centre and edges.
Rgb pictureAt(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, bool checker) {
    const std::int64_t c = x * kColumns / w;
    const std::int64_t r = y * kRows / h;
    if (checker && c == 1 && r == 1 && (x + y) % 2 == 1) {
        return kChecker;
    }
    const std::int64_t bw = w / kColumns;
    const std::int64_t bh = h / kRows;
    if (x >= bw / 8 && x < bw * 3 / 8 && y >= bh / 8 && y < bh * 3 / 8) {
        return kMark;
    }
    return kBlocks[r][c];
}

// Red less 8 at one pixel in 32, picked by a hash of the position.
Rgb withGrain(Rgb c, std::int64_t x, std::int64_t y) {
    std::uint64_t v = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15u ^
                      static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Fu;
    v ^= v >> 29;
    v *= 0xBF58476D1CE4E5B9u;
    if (((v >> 40) & 31u) == 0) {
        c.r = static_cast<std::uint8_t>(c.r - 8);
    }
    return c;
}

void printColours() {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const Rgb& b = kBlocks[r][c];
            std::printf("block %d %d %d %d %d\n", c, r, b.r, b.g, b.b);
        }
    }
    std::printf("mark %d %d %d\n", kMark.r, kMark.g, kMark.b);
    std::printf("checker %d %d %d\n", kChecker.r, kChecker.g, kChecker.b);
    std::printf("patch %d %d %d\n", kPatch.r, kPatch.g, kPatch.b);
}

int usage() {
    std::fprintf(stderr,
                 "usage: e2e-picture [--depth 16|32] [--rect] [--truncate] [--checker] [--grain] "
                 "[--patch X,Y,W,H]... WIDTH HEIGHT OUT.vrs\n"
                 "       e2e-picture --colours\n");
    return 2;
}

bool parseSize(const char* s, std::uint32_t* out) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(s, &end, 10);
    if (end == s || *end != '\0' || v < kColumns || v > 32767) {
        return false;
    }
    *out = static_cast<std::uint32_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    vrs::testing::VrsLayout layout;
    bool truncate = false;
    bool checker = false;
    bool grain = false;
    Patch patches[kMostPatches];
    int patchCount = 0;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--colours") == 0 && argc == 2) {
            printColours();
            return 0;
        }
        if (std::strcmp(argv[i], "--rect") == 0) {
            layout.sized = false;
        } else if (std::strcmp(argv[i], "--truncate") == 0) {
            truncate = true;
        } else if (std::strcmp(argv[i], "--checker") == 0) {
            checker = true;
        } else if (std::strcmp(argv[i], "--grain") == 0) {
            grain = true;
        } else if (std::strcmp(argv[i], "--patch") == 0 && i + 1 < argc &&
                   patchCount < kMostPatches) {
            Patch& p = patches[patchCount++];
            long long x = 0, y = 0, w = 0, h = 0;
            if (std::sscanf(argv[++i], "%lld,%lld,%lld,%lld", &x, &y, &w, &h) != 4) {
                return usage();
            }
            p = {x, y, w, h};
        } else if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
            layout.depth = std::atoi(argv[++i]);
            if (layout.depth != 16 && layout.depth != 32) {
                return usage();
            }
        } else {
            return usage();
        }
    }
    if (argc - i != 3 || !parseSize(argv[i], &layout.width) ||
        !parseSize(argv[i + 1], &layout.height)) {
        return usage();
    }
    const std::string out = argv[i + 2];
    const std::int64_t w = layout.width;
    const std::int64_t h = layout.height;
    const auto pixel = [w, h, checker, grain, &patches, patchCount](std::int64_t x,
                                                                    std::int64_t y) {
        for (int k = 0; k < patchCount; ++k) {
            if (patches[k].covers(x, y)) {
                return kPatch;
            }
        }
        const Rgb c = pictureAt(x, y, w, h, checker);
        return grain ? withGrain(c, x, y) : c;
    };
    if (!vrs::testing::writeVrsFile(out, layout, pixel)) {
        std::perror(out.c_str());
        return 1;
    }
    if (truncate) {
        // Keep the header and half of the rows.
        const auto keep =
            static_cast<std::uintmax_t>(196 + vrs::testing::layoutStride(layout) * (h / 2));
        std::error_code ec;
        std::filesystem::resize_file(out, keep, ec);
        if (ec) {
            std::fprintf(stderr, "%s: %s\n", out.c_str(), ec.message().c_str());
            return 1;
        }
    }
    return 0;
}
