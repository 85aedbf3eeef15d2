// SPDX-License-Identifier: MIT
// Compares two pictures, reading both once, row by row in step, and finds
// the regions that changed. Two captures are compared on their files'
// bytes where their depths agree, rows that are equal never decoded, on
// every processor; anything else row by row in the compared form, a PNG
// decoded on a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "compare/compare_types.h"
#include "compare/picture_rows.h"
#include "compare/read_problem.h"
#include "compare/row_comparer.h"

namespace vrs {

struct ComparisonResult {
    std::int64_t widthA = 0;
    std::int64_t heightA = 0;
    std::int64_t widthB = 0;
    std::int64_t heightB = 0;
    DiffCounts counts;
    std::vector<PixelBox> regions;  // the largest first
    ReadFailure failureA;           // a picture that could not be read to its end
    ReadFailure failureB;

    bool failed() const { return failureA.failed() || failureB.failed(); }
    bool sizesDiffer() const { return widthA != widthB || heightA != heightB; }
    bool identical() const { return !sizesDiffer() && counts.differing == 0; }
};

// For a caller on another thread: `rowsDone` counts the rows compared (of
// the height); setting `stop` ends the comparison early, its result then
// incomplete.
struct CompareProgress {
    std::atomic<std::int64_t> rowsDone{0};
    std::atomic<bool> stop{false};
};

// `threads`: at most this many threads compare two captures (0: one per
// processor). Pictures of different sizes are not compared, their sizes
// alone returned, unless options.sharedArea asks for the area both share.
ComparisonResult comparePictures(const PictureSource& a, const PictureSource& b,
                                 const CompareOptions& options, int threads = 0,
                                 CompareProgress* progress = nullptr);

}  // namespace vrs
