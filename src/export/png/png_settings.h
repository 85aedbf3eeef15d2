// The PNG encoder's zlib, filter and threading settings. The defaults were
// chosen by measuring screen-like pictures (bench/export); the benchmark and
// the tests try others.
#pragma once

#include <cstddef>

#include "decode/row_source.h"
#include "platform/output_stream.h"

namespace vrs {

// On the 4000 x 3000 sample picture with two cores (bench/export, pngSettings):
// level 6 with the row choice below gives 824 KB in about 0.2 s; level 5 913 KB
// in 0.12 s; level 7 790 KB in 0.35 s; "sub" on every row at level 7 927 KB in
// 0.3 s; unfiltered rows at level 7 894 KB in 0.37 s.
struct PngSettings {
    int level = 6;  // zlib level
    // PNG_FILTER_* bits (0x08 none, 0x10 sub, 0x20 up, 0x40 average, 0x80
    // Paeth): one bit, that filter on every row; several, the one whose
    // bytes sum smallest per row; 0: "up" for a row equal to the one above,
    // none otherwise.
    int filters = 0;
    int strategy = 0;  // zlib strategy (Z_DEFAULT_STRATEGY = 0, Z_FILTERED 1, Z_RLE 3)
    int memLevel = 8;  // zlib memory level
    // Filtered bytes compressed as one strip by one thread.
    std::size_t stripBytes = std::size_t{1} << 19;
    int workers = 0;  // compressing threads; 0: one per core, at most 4
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
