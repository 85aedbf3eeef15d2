// SPDX-License-Identifier: MIT
#include "export/gif/wu_quantizer.h"

#include <cmath>

namespace vrs {
namespace {

enum Axis { kRed, kGreen, kBlue };

constexpr int kCells = WuQuantizer::kSide * WuQuantizer::kSide * WuQuantizer::kSide;

}  // namespace

WuQuantizer::WuQuantizer()
    : weight_(kCells), sumR_(kCells), sumG_(kCells), sumB_(kCells), sumSquares_(kCells) {}

// Turns each table into cumulative sums, so that any box's total is eight lookups.
void WuQuantizer::accumulate() {
    for (int r = 1; r < kSide; ++r) {
        std::int64_t areaW[kSide] = {}, areaR[kSide] = {}, areaG[kSide] = {}, areaB[kSide] = {};
        double area2[kSide] = {};
        for (int g = 1; g < kSide; ++g) {
            std::int64_t lineW = 0, lineR = 0, lineG = 0, lineB = 0;
            double line2 = 0;
            for (int b = 1; b < kSide; ++b) {
                const int i = index(r, g, b);
                const int above = index(r - 1, g, b);
                lineW += weight_[i];
                lineR += sumR_[i];
                lineG += sumG_[i];
                lineB += sumB_[i];
                line2 += sumSquares_[i];
                areaW[b] += lineW;
                areaR[b] += lineR;
                areaG[b] += lineG;
                areaB[b] += lineB;
                area2[b] += line2;
                weight_[i] = weight_[above] + areaW[b];
                sumR_[i] = sumR_[above] + areaR[b];
                sumG_[i] = sumG_[above] + areaG[b];
                sumB_[i] = sumB_[above] + areaB[b];
                sumSquares_[i] = sumSquares_[above] + area2[b];
            }
        }
    }
}

namespace {

template <typename T>
T volume(const std::vector<T>& m, int r0, int r1, int g0, int g1, int b0, int b1) {
    auto at = [&m](int r, int g, int b) {
        return m[static_cast<std::size_t>(WuQuantizer::index(r, g, b))];
    };
    return at(r1, g1, b1) - at(r1, g1, b0) - at(r1, g0, b1) + at(r1, g0, b0) - at(r0, g1, b1) +
           at(r0, g1, b0) + at(r0, g0, b1) - at(r0, g0, b0);
}

}  // namespace

struct WuQuantizer::Moments {
    std::int64_t w, r, g, b;

    // The sums over the part of `box` whose coordinate on `axis` is at most pos.
    static Moments lower(const WuQuantizer& q, const Box& box, Axis axis, int pos) {
        Box part = box;
        (axis == kRed ? part.r1 : axis == kGreen ? part.g1 : part.b1) = pos;
        return of(q, part);
    }
    static Moments of(const WuQuantizer& q, const Box& x) {
        return {volume(q.weight_, x.r0, x.r1, x.g0, x.g1, x.b0, x.b1),
                volume(q.sumR_, x.r0, x.r1, x.g0, x.g1, x.b0, x.b1),
                volume(q.sumG_, x.r0, x.r1, x.g0, x.g1, x.b0, x.b1),
                volume(q.sumB_, x.r0, x.r1, x.g0, x.g1, x.b0, x.b1)};
    }
    double spread() const {
        const double dr = static_cast<double>(r), dg = static_cast<double>(g),
                     db = static_cast<double>(b);
        return (dr * dr + dg * dg + db * db) / static_cast<double>(w);
    }
};

double WuQuantizer::variance(const Box& x) const {
    const Moments m = Moments::of(*this, x);
    if (m.w == 0) {
        return 0;
    }
    return volume(sumSquares_, x.r0, x.r1, x.g0, x.g1, x.b0, x.b1) - m.spread();
}

PaletteColour WuQuantizer::mean(const Box& x) const {
    const Moments m = Moments::of(*this, x);
    if (m.w == 0) {
        return {};
    }
    auto channel = [&m](std::int64_t sum) {
        return static_cast<std::uint8_t>(
            std::lround(static_cast<double>(sum) / static_cast<double>(m.w)));
    };
    return {channel(m.r), channel(m.g), channel(m.b)};
}

// Splits a into a and b along the axis and plane that leave the least
// variance; false when a cannot be split.
bool WuQuantizer::cut(Box& a, Box& b) const {
    const Moments whole = Moments::of(*this, a);
    double best = 0;
    int bestAxis = -1;
    int bestPos = 0;
    const int lo[3] = {a.r0, a.g0, a.b0};
    const int hi[3] = {a.r1, a.g1, a.b1};
    for (int axis = 0; axis < 3; ++axis) {
        for (int pos = lo[axis] + 1; pos < hi[axis]; ++pos) {
            const Moments low = Moments::lower(*this, a, static_cast<Axis>(axis), pos);
            if (low.w == 0 || low.w == whole.w) {
                continue;
            }
            const Moments high{whole.w - low.w, whole.r - low.r, whole.g - low.g, whole.b - low.b};
            const double score = low.spread() + high.spread();
            if (score > best) {
                best = score;
                bestAxis = axis;
                bestPos = pos;
            }
        }
    }
    if (bestAxis < 0) {
        return false;
    }
    b = a;
    if (bestAxis == kRed) {
        a.r1 = b.r0 = bestPos;
    } else if (bestAxis == kGreen) {
        a.g1 = b.g0 = bestPos;
    } else {
        a.b1 = b.b0 = bestPos;
    }
    return true;
}

std::vector<PaletteColour> WuQuantizer::palette(int maxColours) {
    accumulate();
    std::vector<Box> boxes(static_cast<std::size_t>(maxColours));
    std::vector<double> spread(static_cast<std::size_t>(maxColours), 0);
    boxes[0] = {0, kSide - 1, 0, kSide - 1, 0, kSide - 1};
    spread[0] = variance(boxes[0]);
    int count = 1;
    while (count < maxColours) {
        int next = 0;
        for (int i = 1; i < count; ++i) {
            if (spread[static_cast<std::size_t>(i)] > spread[static_cast<std::size_t>(next)]) {
                next = i;
            }
        }
        auto& a = boxes[static_cast<std::size_t>(next)];
        auto& b = boxes[static_cast<std::size_t>(count)];
        if (spread[static_cast<std::size_t>(next)] <= 0 || !cut(a, b)) {
            if (spread[static_cast<std::size_t>(next)] <= 0) {
                break;
            }
            spread[static_cast<std::size_t>(next)] = 0;  // cannot be split: leave it
            continue;
        }
        spread[static_cast<std::size_t>(next)] = variance(a);
        spread[static_cast<std::size_t>(count)] = variance(b);
        ++count;
    }
    std::vector<PaletteColour> colours;
    colours.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        colours.push_back(mean(boxes[static_cast<std::size_t>(i)]));
    }
    return colours;
}

}  // namespace vrs
