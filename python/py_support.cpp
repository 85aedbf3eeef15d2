// SPDX-License-Identifier: MIT
#include "py_support.h"

#include <cerrno>

#include "platform/regular_file.h"

namespace vrs::python {

[[noreturn]] void raiseRefusal(const py::object& name, const std::string& why) {
    const py::object error = py::module_::import("vrscreen").attr("Error");
    PyErr_SetObject(error.ptr(), py::str("{}: {}").format(name, why).ptr());
    throw py::error_already_set();
}

[[noreturn]] void raiseOpenFailure(int error, const py::object& name) {
    if (error == kNotRegularFile) {
        raiseRefusal(name, "not a regular file");
    }
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, name.ptr());
    throw py::error_already_set();
}

HeldBuffer::HeldBuffer(const py::handle& object, int flags) {
    if (PyObject_GetBuffer(object.ptr(), &view_, flags | PyBUF_C_CONTIGUOUS) != 0) {
        throw py::error_already_set();
    }
}

HeldBuffer::~HeldBuffer() {
    PyBuffer_Release(&view_);
}

std::unique_ptr<HeldBuffer> outBuffer(const py::handle& object, std::size_t bytes) {
    auto out = std::make_unique<HeldBuffer>(object, PyBUF_WRITABLE);
    if (out->size() != bytes) {
        throw py::value_error("the buffer holds " + std::to_string(out->size()) +
                              " bytes, not the " + std::to_string(bytes) + " the rows take");
    }
    return out;
}

bool runReleased(const std::function<bool(const std::function<bool()>& keepGoing)>& work) {
    const py::gil_scoped_release release;
    return work([] {
        const py::gil_scoped_acquire hold;
        return PyErr_CheckSignals() == 0;
    });
}

}  // namespace vrs::python
