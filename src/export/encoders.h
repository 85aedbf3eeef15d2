// SPDX-License-Identifier: MIT
// The encoders: each reads the picture row by row from a RowSource and writes
// one file's bytes to an OutputStream. They return false when the picture
// could not be converted or written; the stream's failed() tells the two
// apart. None of them throws. They are reached through the format table
// (export_format.h), and trust the caller to have checked that the picture
// is not empty and fits the format: encodeImage does.
#pragma once

#include <cstdint>

#include "decode/row_source.h"
#include "export/export_format.h"
#include "platform/output_stream.h"

namespace vrs {

// Uncompressed 8-bit RGB, one strip per row group.
bool encodeTiff(RowSource& source, OutputStream& out, const EncodeOptions& options);
// Baseline JPEG at libjpeg's quality 1 to 100 (clamped).
bool encodeJpeg(RowSource& source, OutputStream& out, const EncodeOptions& options);
// The same file, compressed in chunks of chunkRows rows rounded up to whole
// MCU rows (16); encodeJpeg chooses the size.
bool encodeJpegInChunks(RowSource& source, OutputStream& out, int quality, std::int64_t chunkRows);
// 24-bit BMP: a 54-byte header, rows bottom-up, each padded to 4 bytes.
bool encodeBmp(RowSource& source, OutputStream& out, const EncodeOptions& options);
// False when the BMP file's 32-bit size field cannot hold the picture.
bool bmpFileFits(std::int64_t width, std::int64_t height);
// GIF87a-compatible single frame: the exact colours when there are at most
// 256, otherwise a palette of 256 chosen for the picture.
bool encodeGif(RowSource& source, OutputStream& out, const EncodeOptions& options);
// PNG, not interlaced: 8-bit RGB, or indexed (1, 2, 4 or 8 bits a pixel) for
// pictures of 256 colours or fewer.
bool encodePng(RowSource& source, OutputStream& out, const EncodeOptions& options);

// The picture in `format`, after checking its size against the table; false
// for an empty picture or one the format cannot hold.
bool encodeImage(ImageFormat format, RowSource& source, OutputStream& out,
                 const EncodeOptions& options = {});

}  // namespace vrs
