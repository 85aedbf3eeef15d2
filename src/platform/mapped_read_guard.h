// SPDX-License-Identifier: MIT
// Reading a file mapping that may shrink under us. A read of a page past the
// file's new end raises SIGBUS, which would end the process; inside
// readMapped such a fault ends only the work being done.
//
// The work must read the mapping and nothing else of note: it is left by a
// jump from the signal handler, so no frame it runs may own an object with a
// destructor (locals stay trivially destructible), and it must not run an
// event loop or take a lock. Arm it around a chunk of work, not each pixel.
#pragma once

#include <cstddef>

namespace vrs {

using MappedWork = void (*)(void* context);

// Runs work(context) on this thread. True when it ran to its end; false when
// it read a byte of [begin, begin + length) that the file no longer has. A
// SIGBUS at any other address is handed to whatever handled it before.
bool readMappedWith(const void* begin, std::size_t length, MappedWork work, void* context);

// The same for any callable, e.g. a lambda (which itself holds no objects
// with destructors).
template <typename Work>
bool readMapped(const void* begin, std::size_t length, Work& work) {
    return readMappedWith(
        begin, length, [](void* context) { (*static_cast<Work*>(context))(); }, &work);
}

}  // namespace vrs
