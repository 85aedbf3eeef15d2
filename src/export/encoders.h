// The encoders: each reads the picture row by row from a RowSource and writes
// one file's bytes to an OutputStream. They return false when the picture
// could not be converted or written; the stream's failed() tells the two
// apart. None of them throws.
#pragma once

#include "decode/row_source.h"
#include "export/export_format.h"
#include "platform/output_stream.h"

namespace vrs {

// What a caller may choose about the encoding; the defaults are the viewer's.
struct EncodeOptions {
    int jpegQuality = 50;  // 1 to 100; 50 is the compression factor 0.5
};

// Uncompressed 8-bit RGB, one strip per row group.
bool encodeTiff(RowSource& source, OutputStream& out);
// Baseline JPEG at libjpeg's quality 1 to 100 (clamped).
bool encodeJpeg(RowSource& source, OutputStream& out, int quality = EncodeOptions{}.jpegQuality);
// 24-bit BMP: a 54-byte header, rows bottom-up, each padded to 4 bytes.
bool encodeBmp(RowSource& source, OutputStream& out);
// GIF87a-compatible single frame: the exact colours when there are at most
// 256, otherwise a palette of 256 chosen for the picture.
bool encodeGif(RowSource& source, OutputStream& out);
// 8-bit RGB PNG, not interlaced.
bool encodePng(RowSource& source, OutputStream& out);

bool encodeImage(ImageFormat format, RowSource& source, OutputStream& out,
                 const EncodeOptions& options = {});

}  // namespace vrs
