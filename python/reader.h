// SPDX-License-Identifier: MIT
// vrscreen._vrscreen.Reader: one opened capture (a file by its name, a
// descriptor of an open file, or bytes in memory). Its reads fill buffers
// the caller made (NumPy arrays, Pillow's rows) with the GIL released; each
// read makes readers of its own, so threads may share a Reader.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "capture_source.h"
#include "py_support.h"

namespace vrs::python {

class Reader {
  public:
    explicit Reader(py::object name) : name_(std::move(name)) {}

    // A system failure raises OSError; any file opened is a Reader, readable or not.
    static std::unique_ptr<Reader> fromPath(const py::bytes& path, py::object name);
    static std::unique_ptr<Reader> fromDescriptor(int fd, std::uint64_t base, py::object name);
    // The bytes stay exported (and so cannot be resized) while the reader lives.
    static std::unique_ptr<Reader> fromBuffer(const py::object& data, py::object name);

    bool readable() const { return source_.info().error == LoadError::None; }
    // Raises vrscreen.Error with vrstool's words unless readable.
    void requireReadable() const;
    // vrstool info --json's fields after "file".
    py::dict report() const;
    // (width, height) of the full picture or the view image.
    std::pair<std::int64_t, std::int64_t> size(bool view) const;
    // (width, height) of the thumbnail vrstool thumbnail -s maxSide makes.
    std::pair<std::int64_t, std::int64_t> thumbnailSize(std::int64_t maxSide) const;
    // Rows [first, first + count) as 3 bytes per pixel into `out`.
    void readInto(const py::object& out, std::int64_t first, std::int64_t count, bool view) const;
    // The box-averaged picture of exactly width x height into `out`.
    void thumbnailInto(const py::object& out, std::int64_t width, std::int64_t height) const;

    const CaptureSource& source() const { return source_; }
    const py::object& name() const { return name_; }

  private:
    py::object name_;
    std::unique_ptr<HeldBuffer> memory_;  // bytes in memory, when they are the source
    CaptureSource source_;                // declared after memory_: goes first
};

}  // namespace vrs::python
