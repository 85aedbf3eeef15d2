// SPDX-License-Identifier: MIT
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
// seconds of the encoder alone, pixels in memory, two shared cores, noisy):
//   RGB, all five filters by least sum, level 7 with nice length 258 and lazy
//   matches up to 8, Z_FILTERED, 2 MiB strips, 256 KiB trials against Huffman
//   coding alone (the defaults):
//     screen 925,374 (950,650) 0.66 s; gradient 350,480 (389,898) 0.32 s;
//     photo 16,084,229 (16,231,697) 1.02 s; noise 36,014,666 (36,031,100)
//     1.28 s; deep16 6,908,280 (7,303,664) 0.96 s.
//   plain level 7 (good 8, lazy 32, nice 128, chain 256): screen 950,594
//     0.80 s; gradient 389,334; deep16 6,903,126.
//   (good, lazy, nice, chain) = (8, 32, 258, 256): screen 946,368, gradient
//     350,033; (8, 16, 258, 256): 939,732, 350,044; (8, 4, 258, 256): 924,797,
//     351,665; (8, 32, 258, 1024): 911,379 1.51 s, 333,988; (8, 32, 258, 128):
//     975,540, 366,178.
//   Huffman-coded pieces tried by matching again where 60 % of their bytes
//     or more equal the one before (photo 9 %, deep16 44 to 51 %, flat rows
//     71 to 92 %): bands of 400 rows of photo and of flat, 9,110,517
//     (9,137,112); never tried again: 9,419,846; every 4th piece tried:
//     9,162,852, photo 1.71 s; every 2nd: 9,074,914 2.37 s; never Huffman
//     coding alone: 9,136,458 2.90 s.
//   strips whose first 256 KiB match to under 1/64 of their size go on with
//     512-long chains: gradient 340,875 0.37 s, encoder alone 0.20 s wall on
//     a quiet moment (vips 0.56 s for the whole conversion); at 16000 x
//     12000 the gradient 2,368,934 (ImageMagick about 2,724,000). Without:
//     350,480 0.32 s, 2,729,956 at 16000 x 12000; 1024-long chains: 336,907
//     0.47 s 0.24 s wall, 2,103,330. 8 MiB strips without: 2,722,576.
//   without trials: screen 950,127; gradient 388,838; photo 16,254,939 4.32 s;
//     deep16 7,265,794 5.66 s (plain level 7).
//   Huffman coding alone throughout: screen 5,569,222; photo 16,058,140
//     0.44 s; deep16 6,848,407; Z_RLE throughout: screen 2,153,796, gradient
//     486,172, photo 16,068,753.
//   level 8: screen 911,764 2.10 s; gradient 328,567 0.87 s; level 9: screen
//     908,529 3.39 s. level 6 or 64-long chains: photo unchanged in size and
//     time. memLevel 9: screen 949,931. 4 MiB strips: screen 950,376.
//   Z_DEFAULT_STRATEGY: photo 18,052,695, gradient 390,505 (without trials).
// Indexed (256 colours or fewer: palette 216 colours, flat a dozen at 4 bits):
//   no filter, level 7 with (8, 8, 258, 1024), Z_DEFAULT_STRATEGY (the
//     defaults): palette 1,487,558 (1,514,571) 0.88 s; flat 469,132 (479,985).
//   plain level 7: palette 1,512,243 0.71 s, flat 475,010; (8, 8, 258, 256):
//     1,508,516, 475,170; level 8: 1,497,279 1.50 s, 469,582; level 9:
//     1,488,517 2.40 s, 464,482; Z_FILTERED at level 7: 1,532,286, 472,605.
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
        .tuning = {.goodLength = 8, .maxLazy = 8, .niceLength = 258, .maxChain = 256},
        .trialBytes = std::size_t{1} << 18,
        .probeRepeats = 60,
        .flatRatio = 64,
        .flatTuning = {.goodLength = 8, .maxLazy = 8, .niceLength = 258, .maxChain = 512},
        .stripBytes = std::size_t{1} << 21,  // filtered bytes compressed by one thread at once
        .workers = 0,                        // one per core, at most 4
    };
    // Pictures of 256 colours or fewer are written with a palette.
    bool palette = true;
    // Black pixels are transparent (a tRNS chunk).
    bool transparentBlack = false;
    int paletteFilters = pngFilterBit(kPngNone);
    DeflateOptions paletteDeflate{
        .level = 7,
        .strategy = 0,
        .memLevel = 8,
        .tuning = {.goodLength = 8, .maxLazy = 8, .niceLength = 258, .maxChain = 1024},
        .trialBytes = std::size_t{1} << 18,
        .probeRepeats = 60,
        .stripBytes = std::size_t{1} << 21,
        .workers = 0,
    };
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
