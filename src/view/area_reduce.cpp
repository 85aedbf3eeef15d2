// SPDX-License-Identifier: MIT
#include "view/area_reduce.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/vectorise.h"

namespace vrs {
namespace {

struct Tap {
    int index;
    float weight;
};

// For each of `count` output cells over [start, start + length) of a source
// axis, the source samples it covers with their share of the cell: the taps
// of cell i are taps[first[i] .. first[i + 1]).
struct Taps {
    std::vector<Tap> taps;
    std::vector<std::size_t> first;
};

Taps makeTaps(double start, double length, int count, int limit) {
    Taps t;
    t.first.reserve(static_cast<std::size_t>(count) + 1);
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        t.first.push_back(t.taps.size());
        const double a = start + i * step;
        const double b = a + step;
        for (auto k = static_cast<int>(std::floor(a)); k < b; ++k) {
            const double cover = std::min(b, k + 1.0) - std::max(a, static_cast<double>(k));
            if (cover > 0) {
                t.taps.push_back({std::clamp(k, 0, limit - 1), static_cast<float>(cover / step)});
            }
        }
    }
    t.first.push_back(t.taps.size());
    return t;
}

// One source row reduced across: three floats per output pixel.
VRS_VECTORISE void reduceRow(const std::uint32_t* in, const Taps& columns,
                             std::vector<float>& row) {
    const std::size_t w = columns.first.size() - 1;
    for (std::size_t ox = 0; ox < w; ++ox) {
        float r = 0;
        float g = 0;
        float b = 0;
        for (std::size_t k = columns.first[ox]; k < columns.first[ox + 1]; ++k) {
            const Tap tap = columns.taps[k];
            const std::uint32_t p = in[tap.index];
            r += tap.weight * static_cast<float>((p >> 16) & 0xff);
            g += tap.weight * static_cast<float>((p >> 8) & 0xff);
            b += tap.weight * static_cast<float>(p & 0xff);
        }
        row[3 * ox] = r;
        row[3 * ox + 1] = g;
        row[3 * ox + 2] = b;
    }
}

// Rounded to the nearest level (sums are never negative).
std::uint32_t channel(float v) {
    return static_cast<std::uint32_t>(std::min(v, 255.0f) + 0.5f);
}

}  // namespace

VRS_VECTORISE void reduceArea(const RgbPixels& source, SourceArea area, std::uint32_t* out,
                              std::size_t outStride, int outWidth, int outHeight) {
    if (outWidth <= 0 || outHeight <= 0 || source.width <= 0 || source.height <= 0) {
        return;
    }
    const Taps columns = makeTaps(area.x, area.width, outWidth, source.width);
    const Taps rows = makeTaps(area.y, area.height, outHeight, source.height);
    const auto w = static_cast<std::size_t>(outWidth);
    std::vector<float> sum(w * 3);
    // Neighbouring output rows share their edge row: keep the last one reduced.
    std::vector<float> row(w * 3);
    int rowIndex = -1;
    for (std::size_t oy = 0; oy < static_cast<std::size_t>(outHeight); ++oy) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::size_t k = rows.first[oy]; k < rows.first[oy + 1]; ++k) {
            const Tap tap = rows.taps[k];
            if (tap.index != rowIndex) {
                reduceRow(source.pixels + static_cast<std::size_t>(tap.index) * source.stride,
                          columns, row);
                rowIndex = tap.index;
            }
            for (std::size_t i = 0; i < sum.size(); ++i) {
                sum[i] += tap.weight * row[i];
            }
        }
        std::uint32_t* dest = out + oy * outStride;
        for (std::size_t ox = 0; ox < w; ++ox) {
            dest[ox] = 0xff000000u | (channel(sum[3 * ox]) << 16) |
                       (channel(sum[3 * ox + 1]) << 8) | channel(sum[3 * ox + 2]);
        }
    }
}

}  // namespace vrs
