// SPDX-License-Identifier: MIT
#include "diff.h"

#include <pybind11/stl.h>

#include <chrono>
#include <future>
#include <new>
#include <system_error>

#include "compare/colour_delta.h"
#include "compare/compare_pictures.h"

namespace vrs::python {
namespace {

// A capture, or a PNG picture; anything else refused in the loader's words.
PictureSource pictureOf(const Reader& reader) {
    const CaptureSource& source = reader.source();
    const VirtualScreenInfo& info = source.info();
    if (reader.readable()) {
        return PictureSource::ofCapture(source.rows());
    }
    if (info.error != LoadError::OtherFormat || info.format != PictureFormat::Png) {
        reader.requireReadable();
    }
    return PictureSource::ofPng(source.bytes(), info.fileSize);
}

CompareOptions compareOptions(const DiffOptions& options) {
    if (!(options.threshold >= 0 && options.threshold <= 1)) {
        throw py::value_error("threshold takes a number from 0 to 1");
    }
    CompareOptions compare;
    compare.threshold = options.threshold;
    compare.antialiasing = options.antialiasing;
    for (const std::vector<std::int64_t>& box : options.ignore) {
        if (box.size() != 4 || box[0] < 0 || box[1] < 0 || box[2] < 1 || box[3] < 1) {
            throw py::value_error(
                "ignore takes boxes (x, y, width, height), the size at least 1 x 1");
        }
        compare.ignore.push_back({box[0], box[1], box[0] + box[2], box[1] + box[3]});
    }
    return compare;
}

// The comparison on a thread of its own, while this one (the GIL released)
// lets Python run its signal handlers every tenth of a second: a
// KeyboardInterrupt stops the comparison, whose thread is gone on return.
// False when stopped so.
bool compareReleased(const PictureSource& a, const PictureSource& b, const CompareOptions& options,
                     ComparisonResult* result) {
    CompareProgress progress;
    return runReleased([&](const std::function<bool()>& keepGoing) {
        std::future<ComparisonResult> comparing;
        try {
            comparing = std::async(std::launch::async,
                                   [&] { return comparePictures(a, b, options, 0, &progress); });
        } catch (const std::system_error&) {
            *result = comparePictures(a, b, options);  // no thread to be had: uninterruptible
            return true;
        }
        bool going = true;
        while (comparing.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
            if (going && !keepGoing()) {
                going = false;
                progress.stop = true;
            }
        }
        *result = comparing.get();
        return going;
    });
}

py::list box(const PixelBox& b) {
    return py::cast(std::vector<std::int64_t>{b.x0, b.y0, b.width(), b.height()});
}

// The fields of vrstool diff --json, in its order.
py::dict fields(const ComparisonResult& r) {
    py::dict d;
    d["identical"] = r.identical();
    d["sizes_differ"] = r.sizesDiffer();
    if (r.sizesDiffer()) {
        d["sizes"] = py::cast(
            std::vector<std::vector<std::int64_t>>{{r.widthA, r.heightA}, {r.widthB, r.heightB}});
        return d;
    }
    d["width"] = r.widthA;
    d["height"] = r.heightA;
    d["differing_pixels"] = r.counts.differing;
    py::list regions;
    PixelBox bounds = r.regions.empty() ? PixelBox{} : r.regions.front();
    for (const PixelBox& region : r.regions) {
        regions.append(box(region));
        bounds = {std::min(bounds.x0, region.x0), std::min(bounds.y0, region.y0),
                  std::max(bounds.x1, region.x1), std::max(bounds.y1, region.y1)};
    }
    d["bounds"] = r.regions.empty() ? py::none() : py::object(box(bounds));
    d["regions"] = regions;
    d["max_delta"] = deltaAsThreshold(r.counts.largestDelta);
    return d;
}

}  // namespace

py::dict diffPictures(const Reader& a, const Reader& b, const DiffOptions& options) {
    const PictureSource sources[2] = {pictureOf(a), pictureOf(b)};
    const CompareOptions compare = compareOptions(options);
    ComparisonResult result;
    if (!compareReleased(sources[0], sources[1], compare, &result)) {
        throw py::error_already_set();  // the exception a signal handler raised
    }
    const ReadFailure* failures[2] = {&result.failureA, &result.failureB};
    for (int i = 0; i < 2; ++i) {
        if (failures[i]->problem == ReadProblem::OutOfMemory) {
            throw std::bad_alloc();
        }
        if (failures[i]->failed()) {
            raiseRefusal((i == 0 ? a : b).name(), describeReadFailure(*failures[i]));
        }
    }
    return fields(result);
}

}  // namespace vrs::python
