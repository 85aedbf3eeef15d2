// SPDX-License-Identifier: MIT
// vrscreen._vrscreen: the core's reader for Python. A Reader is one opened
// capture; its reads fill buffers the caller made (NumPy arrays, Pillow's
// rows) with the GIL released, and stop for a pending KeyboardInterrupt
// between blocks of rows. The module keeps no state of its own: a refusal
// is raised as the package's vrscreen.Error, in vrstool's words.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>

#include "capture_source.h"
#include "header_sniff.h"
#include "platform/regular_file.h"
#include "rows_into.h"
#include "vrscreen/capture_report.h"

namespace py = pybind11;

namespace vrs::python {
namespace {

[[noreturn]] void raise(const py::handle& type, const py::object& message) {
    PyErr_SetObject(type.ptr(), message.ptr());
    throw py::error_already_set();
}

// "NAME: why", as vrstool words it after its own name.
[[noreturn]] void raiseRefusal(const py::object& name, const std::string& why) {
    raise(py::module_::import("vrscreen").attr("Error"), py::str("{}: {}").format(name, why));
}

[[noreturn]] void raiseOpenFailure(int error, const py::object& name) {
    if (error == kNotRegularFile) {
        raiseRefusal(name, "not a regular file");
    }
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw py::error_already_set();
}

// A buffer of a Python object, as contiguous bytes, held until this goes
// (while it is held, a bytearray cannot be resized under a reader).
class HeldBuffer {
  public:
    HeldBuffer(const py::handle& object, int flags) {
        if (PyObject_GetBuffer(object.ptr(), &view_, flags | PyBUF_C_CONTIGUOUS) != 0) {
            throw py::error_already_set();
        }
    }
    HeldBuffer(const HeldBuffer&) = delete;
    HeldBuffer& operator=(const HeldBuffer&) = delete;
    ~HeldBuffer() { PyBuffer_Release(&view_); }
    std::uint8_t* data() const { return static_cast<std::uint8_t*>(view_.buf); }
    std::size_t size() const { return static_cast<std::size_t>(view_.len); }

  private:
    Py_buffer view_{};
};

// Where rows are decoded to: writable, and exactly as long as the rows.
std::unique_ptr<HeldBuffer> outBuffer(const py::handle& object, std::size_t bytes) {
    auto out = std::make_unique<HeldBuffer>(object, PyBUF_WRITABLE);
    if (out->size() != bytes) {
        throw py::value_error("the buffer holds " + std::to_string(out->size()) +
                              " bytes, not the " + std::to_string(bytes) + " the rows take");
    }
    return out;
}

py::object toPython(const ReportField& field) {
    const auto& v = field.value;
    if (const auto* nested = std::get_if<std::vector<ReportField>>(&v)) {
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
        v);
}

class Reader {
  public:
    explicit Reader(py::object name) : name_(std::move(name)) {}

    static std::unique_ptr<Reader> fromPath(const py::bytes& path, py::object name) {
        auto reader = std::make_unique<Reader>(std::move(name));
        int error = 0;
        const std::string p = path;
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

    static std::unique_ptr<Reader> fromDescriptor(int fd, std::uint64_t base, py::object name) {
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

    // The bytes stay exported (and so cannot be resized) while the reader lives.
    static std::unique_ptr<Reader> fromBuffer(const py::object& data, py::object name) {
        auto reader = std::make_unique<Reader>(std::move(name));
        reader->memory_ = std::make_unique<HeldBuffer>(data, PyBUF_SIMPLE);
        reader->source_.openMemory(reader->memory_->data(), reader->memory_->size());
        return reader;
    }

    bool readable() const { return source_.info().error == LoadError::None; }

    void requireReadable() const {
        if (!readable()) {
            raiseRefusal(name_, describeLoadError(source_.info()));
        }
    }

    py::dict report() const {
        py::dict d;
        for (const ReportField& f :
             reportFields(reportCapture(source_.header(), source_.info(), {}))) {
            d[py::str(f.name)] = toPython(f);
        }
        return d;
    }

    std::pair<std::int64_t, std::int64_t> size(bool view) const {
        requireReadable();
        const PictureSize s = pictureSize(source_.rows(), view);
        return {s.width, s.height};
    }

    std::pair<std::int64_t, std::int64_t> thumbnailSize(std::int64_t maxSide) const {
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

    void readInto(const py::object& out, std::int64_t first, std::int64_t count, bool view) const {
        const auto [width, height] = size(view);
        if (first < 0 || count < 0 || first > height || count > height - first) {
            throw py::index_error("rows out of the picture");
        }
        // No product overflows: the loader has bounded width x height by the file's length.
        const auto buffer = outBuffer(out, static_cast<std::size_t>(3 * width * count));
        finish(run([&](const KeepGoing& keepGoing) {
            return readRows(source_.rows(), view, first, count, buffer->data(), keepGoing);
        }));
    }

    void thumbnailInto(const py::object& out, std::int64_t width, std::int64_t height) const {
        requireReadable();
        const RowLayout& layout = source_.info().layout;
        if (width < 1 || height < 1 || width > layout.width || height > layout.height) {
            throw py::value_error("a thumbnail is from 1 pixel to the picture's own size");
        }
        const auto buffer = outBuffer(out, static_cast<std::size_t>(3 * width * height));
        finish(run([&](const KeepGoing& keepGoing) {
            return readThumbnail(source_.rows(), {width, height}, buffer->data(), keepGoing);
        }));
    }

  private:
    // Runs `work` with the GIL released; keepGoing takes it back for a
    // moment to let Python handle its signals.
    template <typename Work>
    static RowsResult run(const Work& work) {
        const py::gil_scoped_release release;
        return work([] {
            const py::gil_scoped_acquire hold;
            return PyErr_CheckSignals() == 0;
        });
    }

    void finish(RowsResult result) const {
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
        raiseRefusal(name_, describeLoadError(changed));
    }

    py::object name_;
    std::unique_ptr<HeldBuffer> memory_;  // bytes in memory, when they are the source
    CaptureSource source_;                // declared after memory_: goes first
};

// The bytes a header says its file holds, for reading a stream no further;
// the header's own length when the header alone is refused.
std::uint64_t bytesNeeded(const py::bytes& head) {
    const std::string h = head;
    if (h.size() < kHeaderSize) {
        return h.size();
    }
    const VirtualScreenInfo info =
        inspectVirtualScreen(reinterpret_cast<const std::uint8_t*>(h.data()), SIZE_MAX);
    return info.error == LoadError::None ? info.bytesNeeded : h.size();
}

bool recognise(const py::bytes& head) {
    const std::string h = head;
    return plugin::recognise(reinterpret_cast<const std::uint8_t*>(h.data()), h.size());
}

}  // namespace
}  // namespace vrs::python

PYBIND11_MODULE(_vrscreen, m) {
    using vrs::python::Reader;
    m.doc() = "The virtual-screen reader of vrsview; use the vrscreen package.";
    m.attr("__version__") = VRS_VERSION;
    m.attr("HEADER_SIZE") = vrs::kHeaderSize;
    m.def("bytes_needed", &vrs::python::bytesNeeded, py::arg("head"));
    m.def("recognise", &vrs::python::recognise, py::arg("head"));
    py::class_<Reader>(m, "Reader")
        .def_static("from_path", &Reader::fromPath, py::arg("path"), py::arg("name"))
        .def_static("from_descriptor", &Reader::fromDescriptor, py::arg("fd"), py::arg("base"),
                    py::arg("name"))
        .def_static("from_buffer", &Reader::fromBuffer, py::arg("data"), py::arg("name"))
        .def_property_readonly("readable", &Reader::readable)
        .def("require_readable", &Reader::requireReadable)
        .def("report", &Reader::report)
        .def("size", &Reader::size, py::arg("view") = false)
        .def("thumbnail_size", &Reader::thumbnailSize, py::arg("max_side"))
        .def("read_into", &Reader::readInto, py::arg("out"), py::arg("first"), py::arg("count"),
             py::arg("view") = false)
        .def("thumbnail_into", &Reader::thumbnailInto, py::arg("out"), py::arg("width"),
             py::arg("height"));
}
