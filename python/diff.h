// SPDX-License-Identifier: MIT
// vrscreen.diff: two pictures (captures or PNG files) compared by the
// core's comparison, the result as vrstool diff --json gives it.
#pragma once

#include <cstdint>
#include <vector>

#include "reader.h"

namespace vrs::python {

struct DiffOptions {
    double threshold = 0;
    bool antialiasing = false;
    std::vector<std::vector<std::int64_t>> ignore;  // (x, y, width, height) each
};

py::dict diffPictures(const Reader& a, const Reader& b, const DiffOptions& options);

}  // namespace vrs::python
