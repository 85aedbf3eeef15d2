// The PNG encoder's filter, zlib and threading settings, each set here only.
#pragma once

#include <cstddef>

#include "decode/row_source.h"
#include "export/png/parallel_deflate.h"
#include "export/png/png_filters.h"
#include "platform/output_stream.h"

namespace vrs {

// Measured on 4000 x 3000 pictures from bench/export/make-bench-picture --kind
// (bytes; ImageMagick 6's default PNG of the same pixels in brackets; CPU
// seconds of the encoder alone, pixels in memory, two shared cores):
//   RGB, all five filters by least sum, level 7, Z_FILTERED, 2 MiB strips,
//   256 KiB trials against Huffman coding alone (the defaults):
//     screen 950,594 (950,650) 0.80 s; gradient 389,334 (389,898) 0.31 s;
//     photo 16,084,229 (16,231,697) 1.09 s; noise 36,014,666 (36,031,100)
//     1.18 s; deep16 6,903,126 (7,303,664) 1.34 s.
//   the same without trials: screen 950,127; gradient 388,838; photo
//     16,254,939 4.32 s; deep16 7,265,794 5.66 s.
//   Huffman coding alone throughout: screen 5,569,222; photo 16,058,140
//     0.44 s; deep16 6,848,407; Z_RLE throughout: screen 2,153,796, gradient
//     486,172, photo 16,068,753.
//   level 8: screen 911,764 2.10 s; gradient 328,567 0.87 s; level 9: screen
//     908,529 3.39 s. level 6 or 64-long chains: photo unchanged in size and
//     time. memLevel 9: screen 949,931. 4 MiB strips: screen 950,376.
//   Z_DEFAULT_STRATEGY: photo 18,052,695, gradient 390,505 (without trials).
// Indexed (256 colours or fewer: palette 216 colours, flat a dozen at 4 bits):
//   no filter, level 8, Z_DEFAULT_STRATEGY (the defaults): palette 1,497,279
//     (1,514,571) 1.62 s; flat 469,582 (479,985) 0.56 s.
//   level 7: palette 1,512,243 0.71 s, flat 475,010; level 9: palette 1,488,517
//     2.40 s, flat 464,482; Z_FILTERED: palette 1,532,286, flat 472,605.
//   all five filters by least sum (libpng filters no palette rows): palette
//     2,154,975.
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
    // Pictures of 256 colours or fewer are written with a palette.
    bool palette = true;
    int paletteFilters = pngFilterBit(kPngNone);
    DeflateOptions paletteDeflate{
        .level = 8,
        .strategy = 0,
        .memLevel = 8,
        .trialBytes = std::size_t{1} << 18,
        .stripBytes = std::size_t{1} << 21,
        .workers = 0,
    };
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
