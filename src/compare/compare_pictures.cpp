// SPDX-License-Identifier: MIT
#include "compare/compare_pictures.h"

#include <algorithm>
#include <memory>
#include <new>

#include "compare/capture_comparison.h"
#include "compare/compared_rows.h"
#include "compare/region_finder.h"

namespace vrs {
namespace {

// Rows y - 2 to y + 2 of rows kept by their number modulo 8.
RowWindow windowAt(const std::uint8_t* const* kept, std::int64_t y, std::int64_t height) {
    RowWindow w;
    for (std::int64_t dy = -2; dy <= 2; ++dy) {
        if (y + dy >= 0 && y + dy < height) {
            w.rows[dy + 2] = kept[(y + dy) % 8];
        }
    }
    return w;
}

// Row by row on this thread, both pictures read in step.
void compareInOrder(PictureRows& a, PictureRows& b, const CompareOptions& options,
                    CompareProgress* progress, ComparisonResult* result) {
    const std::int64_t width = std::min(a.width(), b.width());
    const std::int64_t height = std::min(a.height(), b.height());
    const RowComparer comparer(width, height, options);
    RegionFinder finder(width);
    const std::uint8_t* keptA[8] = {};
    const std::uint8_t* keptB[8] = {};
    std::vector<PixelRun> runs;
    std::int64_t read = 0;  // rows read
    for (std::int64_t y = 0; y < height; ++y) {
        if (progress != nullptr && progress->stop.load(std::memory_order_relaxed)) {
            break;
        }
        const std::int64_t need = comparer.needsNeighbours() ? std::min(y + 3, height) : y + 1;
        for (; read < need; ++read) {
            keptA[read % 8] = a.row(read);
            keptB[read % 8] = b.row(read);
            if (keptA[read % 8] == nullptr || keptB[read % 8] == nullptr) {
                result->failureA = a.failure();
                result->failureB = b.failure();
                return;
            }
        }
        if (!samePixels(keptA[y % 8], keptB[y % 8], width)) {
            runs.clear();
            comparer.compareRow(y, windowAt(keptA, y, height), windowAt(keptB, y, height), &runs,
                                &result->counts);
            finder.addRow(y, runs.data(), runs.size());
        }
        if (progress != nullptr) {
            progress->rowsDone.store(y + 1, std::memory_order_relaxed);
        }
    }
    result->regions = finder.finish();
}

}  // namespace

ComparisonResult comparePictures(const PictureSource& a, const PictureSource& b,
                                 const CompareOptions& options, int threads,
                                 CompareProgress* progress) {
    ComparisonResult result;
    if (a.kind == PictureSource::Kind::Capture && b.kind == PictureSource::Kind::Capture) {
        result.widthA = a.capture.layout.width;
        result.heightA = a.capture.layout.height;
        result.widthB = b.capture.layout.width;
        result.heightB = b.capture.layout.height;
        if (!result.sizesDiffer() || options.sharedArea) {
            PixelRows sharedA = a.capture;
            PixelRows sharedB = b.capture;
            sharedA.layout.width = sharedB.layout.width = std::min(result.widthA, result.widthB);
            sharedA.layout.height = sharedB.layout.height =
                std::min(result.heightA, result.heightB);
            compareCaptures(sharedA, sharedB, options, threads, progress, &result);
        }
        return result;
    }
    const std::unique_ptr<PictureRows> rowsA = makePictureRows(a);
    const std::unique_ptr<PictureRows> rowsB = makePictureRows(b);
    if (!rowsA || !rowsB) {
        result.failureA.problem = ReadProblem::OutOfMemory;
        return result;
    }
    const bool openA = rowsA->open();
    const bool openB = rowsB->open();
    if (!openA || !openB) {
        result.failureA = rowsA->failure();
        result.failureB = rowsB->failure();
        return result;
    }
    result.widthA = rowsA->width();
    result.heightA = rowsA->height();
    result.widthB = rowsB->width();
    result.heightB = rowsB->height();
    if (!result.sizesDiffer() || options.sharedArea) {
        compareInOrder(*rowsA, *rowsB, options, progress, &result);
    }
    return result;
}

}  // namespace vrs
