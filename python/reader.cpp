// SPDX-License-Identifier: MIT
#include "reader.h"

#include <new>
#include <variant>
#include <vector>

#include "rows_into.h"
#include "vrscreen/capture_report.h"

namespace vrs::python {
namespace {

py::object toPython(const ReportField& field) {
    if (const auto* nested = std::get_if<std::vector<ReportField>>(&field.value)) {
        py::dict d;
        for (const ReportField& f : *nested) {
            d[py::str(f.name)] = toPython(f);
        }
        return d;
    }
    return std::visit(
        [](const auto& value) -> py::object {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::vector<ReportField>>) {
                return py::none();  // handled above
            } else {
                return py::cast(value);
            }
        },
        field.value);
}

// Rows read to their end, or the reason they were not, raised.
void finish(RowsResult result, const py::object& name) {
    switch (result) {
        case RowsResult::Done:
            return;
        case RowsResult::Stopped:
            throw py::error_already_set();  // the exception a signal handler raised
        case RowsResult::NoMemory:
            throw std::bad_alloc();
        case RowsResult::Changed:
            break;
    }
    VirtualScreenInfo changed;
    changed.error = LoadError::ChangedWhileRead;
    raiseRefusal(name, describeLoadError(changed));
}

// Runs a read with the GIL released; a KeyboardInterrupt stops it.
template <typename Read>
RowsResult released(const Read& read) {
    RowsResult result = RowsResult::Done;
    runReleased([&](const std::function<bool()>& keepGoing) {
        result = read(keepGoing);
        return result != RowsResult::Stopped;
    });
    return result;
}

}  // namespace

std::unique_ptr<Reader> Reader::fromPath(const py::bytes& path, py::object name) {
    auto reader = std::make_unique<Reader>(std::move(name));
    const std::string p = path;
    int error = 0;
    bool opened = false;
    {
        const py::gil_scoped_release release;
        opened = reader->source_.openPath(p, &error);
    }
    if (!opened) {
        raiseOpenFailure(error, reader->name_);
    }
    return reader;
}

std::unique_ptr<Reader> Reader::fromDescriptor(int fd, std::uint64_t base, py::object name) {
    auto reader = std::make_unique<Reader>(std::move(name));
    int error = 0;
    bool opened = false;
    {
        const py::gil_scoped_release release;
        opened = reader->source_.openDescriptor(fd, base, &error);
    }
    if (!opened) {
        raiseOpenFailure(error, reader->name_);
    }
    return reader;
}

std::unique_ptr<Reader> Reader::fromBuffer(const py::object& data, py::object name) {
    auto reader = std::make_unique<Reader>(std::move(name));
    reader->memory_ = std::make_unique<HeldBuffer>(data, PyBUF_SIMPLE);
    reader->source_.openMemory(reader->memory_->data(), reader->memory_->size());
    return reader;
}

void Reader::requireReadable() const {
    if (!readable()) {
        raiseRefusal(name_, describeLoadError(source_.info()));
    }
}

py::dict Reader::report() const {
    py::dict d;
    for (const ReportField& f : reportFields(reportCapture(source_.header(), source_.info(), {}))) {
        d[py::str(f.name)] = toPython(f);
    }
    return d;
}

std::pair<std::int64_t, std::int64_t> Reader::size(bool view) const {
    requireReadable();
    const PictureSize s = pictureSize(source_.rows(), view);
    return {s.width, s.height};
}

std::pair<std::int64_t, std::int64_t> Reader::thumbnailSize(std::int64_t maxSide) const {
    requireReadable();
    if (maxSide < 1) {
        throw py::value_error("the size must be at least 1");
    }
    const PictureSize s = python::thumbnailSize(source_.rows(), maxSide);
    if (s.width == 0) {
        throw std::bad_alloc();
    }
    return {s.width, s.height};
}

void Reader::readInto(const py::object& out, std::int64_t first, std::int64_t count,
                      bool view) const {
    const auto [width, height] = size(view);
    if (first < 0 || count < 0 || first > height || count > height - first) {
        throw py::index_error("rows out of the picture");
    }
    // No product overflows: the loader has bounded width x height by the file's length.
    const auto buffer = outBuffer(out, static_cast<std::size_t>(3 * width * count));
    finish(released([&](const KeepGoing& keepGoing) {
               return readRows(source_.rows(), view, first, count, buffer->data(), keepGoing);
           }),
           name_);
}

void Reader::thumbnailInto(const py::object& out, std::int64_t width, std::int64_t height) const {
    requireReadable();
    const RowLayout& layout = source_.info().layout;
    if (width < 1 || height < 1 || width > layout.width || height > layout.height) {
        throw py::value_error("a thumbnail is from 1 pixel to the picture's own size");
    }
    const auto buffer = outBuffer(out, static_cast<std::size_t>(3 * width * height));
    finish(released([&](const KeepGoing& keepGoing) {
               return readThumbnail(source_.rows(), {width, height}, buffer->data(), keepGoing);
           }),
           name_);
}

}  // namespace vrs::python
