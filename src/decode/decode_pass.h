// The decoder's one pass over the rows, into bitmaps that already exist: the
// full image's rows decoded, the view image's rows sampled on the way. This
// is Data2NSImage without the making of images; the benchmark times it alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/decode_progress.h"
#include "decode/decoder.h"
#include "decode/planar_bitmap.h"
#include "decode/row_sharing.h"

namespace vrs {

struct DecodeSource {
    const std::uint8_t* rows = nullptr;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t depth = 0;
    std::int64_t stride = 0;

    // Bytes of one source pixel of a 32-bit or 16-bit picture.
    std::size_t pixelBytes() const { return depth == 32 ? 4 : 2; }
    // Bytes from the first row's start to the last pixel's end.
    std::size_t byteLength() const {
        return static_cast<std::size_t>((height - 1) * stride) +
               static_cast<std::size_t>(width) * pixelBytes();
    }
};

// Has the kernel back the memory of full-image rows [rows.first, rows.end)
// ahead of their decoding: the used bytes of each plane row, nothing of the
// three quarters of every row that stay unused, and the file's bytes of the
// rows. False as soon as the kernel cannot; the bytes are unchanged.
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
