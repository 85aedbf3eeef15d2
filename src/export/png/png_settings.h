// SPDX-License-Identifier: MIT
// The PNG encoder's filter, zlib and threading settings, each set here only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "decode/row_source.h"
#include "export/png/parallel_deflate.h"
#include "export/png/png_filters.h"
#include "platform/output_stream.h"

namespace vrs {

// The measurements behind these settings are in bench/RESULTS.md ("The PNG
// encoder's settings").
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
    // A palette given beforehand (0xRRGGBB, used without counting), in an
    // order where near indices are near colours, as the greys of a
    // difference's picture: its indices are filtered like grey levels and
    // run-length coded, several times faster than the settings above
    // (bench/RESULTS.md, "The difference picture").
    std::span<const std::uint32_t> knownColours;
    int knownFilters = kPngAllFilters;
    DeflateOptions knownDeflate{
        .level = 7,
        .strategy = 3,
        .memLevel = 8,
        .trialBytes = std::size_t{1} << 18,
        .probeRepeats = 60,
        .stripBytes = std::size_t{1} << 21,
        .workers = 0,
    };
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
