// SPDX-License-Identifier: MIT
// The decoder's one pass over the rows, into bitmaps that already exist: the
// full image's rows decoded, the view image's rows sampled on the way. This
// is Data2NSImage without the making of images; the benchmark times it alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/decode_progress.h"
#include "decode/decoder.h"
#include "decode/planar_bitmap.h"
#include "decode/row_layout.h"
#include "decode/row_sharing.h"

namespace vrs {

// The file's bytes (a mapping, or memory) and where its rows lie in them;
// with the file's descriptor, when there is one, the rows are read from it
// instead of from the mapping.
struct DecodeSource {
    const std::uint8_t* data = nullptr;
    RowLayout layout;
    int fd = -1;

    const std::uint8_t* row(std::int64_t y) const { return data + layout.rowOffset(y); }
    // Bytes from the first row's start to the last pixel's end (the loader
    // has checked that they are there).
    std::size_t rowsLength() const {
        std::uint64_t needed = 0;
        return layout.bytesNeeded(&needed) ? static_cast<std::size_t>(needed - layout.headerSize)
                                           : 0;
    }
};

// Has the kernel back the memory of full-image rows [rows.first, rows.end)
// ahead of their decoding: the planes' bytes of those rows and, when the
// rows are read in place, the file's bytes of the rows. False as soon as the
// kernel cannot; the bytes are unchanged.
bool backRows(const DecodeSource& source, const PlanarBitmap& full, RowRange rows);

// `full` is width x height; `view` has the size viewSizeFor gives and is
// already filled white. Depths other than 16 and 32 leave both untouched.
// Pictures of many megabytes share their rows with a helper thread (see
// RowSharing); the images and the progress shown are the same. False when
// the rows are a file mapping and the file shrank under the decode: the
// images then hold some rows only.
bool decodePass(const DecodeSource& source, const PlanarBitmap& full, const PlanarBitmap& view,
                DecodeProgress& progress);

}  // namespace vrs
