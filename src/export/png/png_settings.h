// The PNG encoder's filter, zlib and threading settings, each set here only.
#pragma once

#include <cstddef>

#include "decode/row_source.h"
#include "export/png/parallel_deflate.h"
#include "export/png/png_filters.h"
#include "platform/output_stream.h"

namespace vrs {

// Measured on 4000 x 3000 pictures from bench/export/make-bench-picture --kind
// (bytes; ImageMagick 6's default PNG of the same pixels in brackets; times
// on two shared cores, noisy):
//   all five filters by least sum, level 7, Z_FILTERED, 2 MiB strips:
//     screen 950,127 (950,650) 1.3 s; gradient 388,838 (389,898) 0.7 s;
//     photo 16,254,939 (16,231,697) 8.0 s; noise 36,015,059 (36,031,100);
//     deep16 7,265,794 (7,303,664) 9.2 s; vips [filter=all] photo 16,278,312 8.5 s.
//   the same with Z_DEFAULT_STRATEGY: photo 18,052,695, gradient 390,505.
//   the same with 512 KiB strips: gradient 390,482, photo 16,256,103.
//   level 6: screen 974,430 0.6 s; gradient 417,451; photo unchanged; deep16
//     7,385,615 5.4 s.
//   "up" on repeated rows and no filter otherwise (the former choice), level
//     6: photo 17.7 MB, gradient 2.0 MB at 3000 x 2000.
// ImageMagick writes pictures of 256 colours or fewer with a palette, which
// this encoder does not: --kind palette gives 2,246,221 against 1,514,571.
struct PngSettings {
    // PNG_FILTER_* bits (0x08 none, 0x10 sub, 0x20 up, 0x40 average, 0x80
    // Paeth): one bit, that filter on every row; several, the one whose
    // bytes sum smallest per row; 0: "up" for a row equal to the one above,
    // none otherwise.
    int filters = kPngAllFilters;
    DeflateOptions deflate{
        .level = 7,
        .strategy = 1,
        .memLevel = 8,
        .trialBytes = std::size_t{1} << 18,
        .stripBytes = std::size_t{1} << 21,  // filtered bytes compressed by one thread at once
        .workers = 0,                        // one per core, at most 4
    };
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
