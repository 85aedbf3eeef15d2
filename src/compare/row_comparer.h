// SPDX-License-Identifier: MIT
// Compares one row of two pictures of the same size, in the compared form:
// which pixels count as different under the options (exactly, or beyond a
// colour distance, leaving out ignored boxes and anti-aliased pixels). The
// rows around it are needed only to tell anti-aliased pixels. Row comparers
// keep no state between rows: one may be shared by threads.
#pragma once

#include <cstdint>
#include <vector>

#include "compare/antialiasing.h"
#include "compare/compare_types.h"

namespace vrs {

// What a comparison has found so far.
struct DiffCounts {
    std::int64_t differing = 0;  // pixels counted
    double largestDelta = 0;     // the largest colour distance among them (squared YIQ)

    void add(const DiffCounts& other) {
        differing += other.differing;
        largestDelta = largestDelta > other.largestDelta ? largestDelta : other.largestDelta;
    }
};

class RowComparer {
  public:
    RowComparer(std::int64_t width, std::int64_t height, const CompareOptions& options);

    // True when compareRow needs the two rows above and below the compared one.
    bool needsNeighbours() const { return antialiasing_; }

    // Compares row y, the middle rows of `a` and `b`; appends the runs of
    // counted pixels to *runs, in order, and adds them to *counts.
    void compareRow(std::int64_t y, const RowWindow& a, const RowWindow& b,
                    std::vector<PixelRun>* runs, DiffCounts* counts) const;

  private:
    // The columns of row y inside ignored boxes, in order, joined.
    void ignoredRuns(std::int64_t y, std::vector<PixelRun>* out) const;
    bool counts(std::int64_t x, std::int64_t y, const RowWindow& a, const RowWindow& b,
                double* delta) const;

    std::int64_t width_;
    std::int64_t height_;
    double limit_;
    bool antialiasing_;
    std::vector<PixelBox> ignore_;
};

}  // namespace vrs
