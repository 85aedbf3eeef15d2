// SPDX-License-Identifier: MIT
// What the module's bindings share: raising the package's errors in
// vrstool's words, holding a Python object's buffer, and running work with
// the GIL released while a pending KeyboardInterrupt can still stop it.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vrs::python {

namespace py = pybind11;

// Raises vrscreen.Error("NAME: why"), as vrstool words it after its own name.
[[noreturn]] void raiseRefusal(const py::object& name, const std::string& why);

// Raises OSError (FileNotFoundError, ...) for an errno from opening NAME,
// or vrscreen.Error for a file that is not a regular file.
[[noreturn]] void raiseOpenFailure(int error, const py::object& name);

// A buffer of a Python object, as contiguous bytes, held until this goes
// (while it is held, a bytearray cannot be resized under a reader).
class HeldBuffer {
  public:
    HeldBuffer(const py::handle& object, int flags);
    HeldBuffer(const HeldBuffer&) = delete;
    HeldBuffer& operator=(const HeldBuffer&) = delete;
    ~HeldBuffer();
    std::uint8_t* data() const { return static_cast<std::uint8_t*>(view_.buf); }
    std::size_t size() const { return static_cast<std::size_t>(view_.len); }

  private:
    Py_buffer view_{};
};

// Where rows are decoded to: writable, and exactly `bytes` long.
std::unique_ptr<HeldBuffer> outBuffer(const py::handle& object, std::size_t bytes);

// With the GIL released, runs `work`, which asks `keepGoing` now and then
// (on the calling thread): keepGoing takes the GIL back for a moment to let
// Python run its signal handlers, and says no once one has raised. Returns
// false when work was stopped so; the exception is then pending, for the
// caller to throw with py::error_already_set once the GIL is back.
bool runReleased(const std::function<bool(const std::function<bool()>& keepGoing)>& work);

}  // namespace vrs::python
