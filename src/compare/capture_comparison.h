// SPDX-License-Identifier: MIT
// Two captures of the same size compared on every processor: each thread
// takes the next chunk of rows (a block read from each file with one pread),
// compares the rows on the files' bytes when the depths agree (otherwise in
// the compared form), and decodes only rows that differ, with the rows
// around them when anti-aliased pixels are to be told. The chunks' runs go
// to one region finder in order.
#pragma once

#include "compare/compare_pictures.h"

namespace vrs {

void compareCaptures(const PixelRows& a, const PixelRows& b, const CompareOptions& options,
                     int threads, CompareProgress* progress, ComparisonResult* result);

}  // namespace vrs
