// SPDX-License-Identifier: MIT
// vrscreen._vrscreen: the core's reader and comparison for Python, used by
// the vrscreen package (python/vrscreen). The module keeps no state of its
// own, installs no signal handler and leaves no thread running: a refusal
// is raised as the package's vrscreen.Error, in vrstool's words.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <string>

#include "diff.h"
#include "header_sniff.h"
#include "reader.h"

namespace vrs::python {
namespace {

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

py::dict diff(const Reader& a, const Reader& b, double threshold, bool antialiasing,
              const std::vector<std::vector<std::int64_t>>& ignore) {
    return diffPictures(a, b, {threshold, antialiasing, ignore});
}

}  // namespace
}  // namespace vrs::python

PYBIND11_MODULE(_vrscreen, m) {
    using vrs::python::Reader;
    namespace py = pybind11;
    m.doc() = "The virtual-screen reader of vrsview; use the vrscreen package.";
    m.attr("__version__") = VRS_VERSION;
    m.attr("HEADER_SIZE") = vrs::kHeaderSize;
    m.def("bytes_needed", &vrs::python::bytesNeeded, py::arg("head"));
    m.def("recognise", &vrs::python::recognise, py::arg("head"));
    m.def("diff", &vrs::python::diff, py::arg("a"), py::arg("b"), py::arg("threshold"),
          py::arg("antialiasing"), py::arg("ignore"));
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
