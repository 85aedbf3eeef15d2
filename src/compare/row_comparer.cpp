// SPDX-License-Identifier: MIT
#include "compare/row_comparer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "compare/colour_delta.h"

namespace vrs {
namespace {

// Pixels compared at a time when looking for the first that differs.
constexpr std::int64_t kStep = 16;

// The first x in [x, end) where the rows differ, or end.
std::int64_t nextDifference(const std::uint8_t* a, const std::uint8_t* b, std::int64_t x,
                            std::int64_t end) {
    while (x + kStep <= end && std::memcmp(a + 4 * x, b + 4 * x, 4 * kStep) == 0) {
        x += kStep;
    }
    while (x < end && std::memcmp(a + 4 * x, b + 4 * x, 4) == 0) {
        ++x;
    }
    return x;
}

}  // namespace

RowComparer::RowComparer(std::int64_t width, std::int64_t height, const CompareOptions& options)
    : width_(width),
      height_(height),
      limit_(deltaLimit(options.threshold)),
      antialiasing_(options.antialiasing) {
    for (const PixelBox& box : options.ignore) {
        const PixelBox clipped{std::max<std::int64_t>(box.x0, 0), std::max<std::int64_t>(box.y0, 0),
                               std::min(box.x1, width), std::min(box.y1, height)};
        if (!clipped.empty()) {
            ignore_.push_back(clipped);
        }
    }
}

void RowComparer::ignoredRuns(std::int64_t y, std::vector<PixelRun>* out) const {
    out->clear();
    for (const PixelBox& box : ignore_) {
        if (y >= box.y0 && y < box.y1) {
            out->push_back({box.x0, box.x1});
        }
    }
    std::sort(out->begin(), out->end(),
              [](const PixelRun& l, const PixelRun& r) { return l.x0 < r.x0; });
    std::size_t kept = 0;
    for (const PixelRun& run : *out) {
        if (kept > 0 && run.x0 <= (*out)[kept - 1].x1) {
            (*out)[kept - 1].x1 = std::max((*out)[kept - 1].x1, run.x1);
        } else {
            (*out)[kept++] = run;
        }
    }
    out->resize(kept);
}

bool RowComparer::counts(std::int64_t x, std::int64_t y, const RowWindow& a, const RowWindow& b,
                         double* delta) const {
    *delta = colourDelta(a.row(0) + 4 * x, b.row(0) + 4 * x, y * width_ + x);
    if (!(std::fabs(*delta) > limit_)) {
        return false;
    }
    return !antialiasing_ || (!looksAntialiased(a, b, x, y, width_, height_) &&
                              !looksAntialiased(b, a, x, y, width_, height_));
}

void RowComparer::compareRow(std::int64_t y, const RowWindow& a, const RowWindow& b,
                             std::vector<PixelRun>* runs, DiffCounts* counts) const {
    std::vector<PixelRun> ignored;
    if (!ignore_.empty()) {
        ignoredRuns(y, &ignored);
    }
    ignored.push_back({width_, width_});  // the end of the row, as the last gap's end
    const std::uint8_t* rowA = a.row(0);
    const std::uint8_t* rowB = b.row(0);
    const std::size_t first = runs->size();  // runs before are other rows'
    std::int64_t from = 0;
    for (const PixelRun& skip : ignored) {
        // Compares the gap [from, skip.x0) before the next ignored columns.
        for (std::int64_t x = nextDifference(rowA, rowB, from, skip.x0); x < skip.x0;
             x = nextDifference(rowA, rowB, x + 1, skip.x0)) {
            double delta = 0;
            if (!this->counts(x, y, a, b, &delta)) {
                continue;
            }
            ++counts->differing;
            counts->largestDelta = std::max(counts->largestDelta, std::fabs(delta));
            if (runs->size() > first && runs->back().x1 == x) {
                runs->back().x1 = x + 1;
            } else {
                runs->push_back({x, x + 1});
            }
        }
        from = std::max(from, skip.x1);
    }
}

}  // namespace vrs
