// SPDX-License-Identifier: MIT
// libjpeg reports errors by calling error_exit, which must not return: it
// longjmps back to the setjmp in compress(). Nothing between the two has a
// destructor: compress() holds only plain data, the buffers live in
// encodeJpeg(), and the destination callbacks never fail (a failed write is
// remembered by the stream and checked between scanline batches).
// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <new>
#include <vector>

#include "export/encoders.h"

namespace vrs {
namespace {

constexpr int kBatchRows = 16;
constexpr std::size_t kOutBytes = 1 << 16;
// Huffman tables made for the picture instead of the standard ones: the same
// pixels, and smooth pictures, mostly empty blocks, in under half the bytes.
// libjpeg then keeps every coefficient until the end, 3 bytes a pixel at 4:2:0,
// so pictures above this size keep the standard tables and a memory of a few
// rows.
constexpr std::int64_t kOptimizedTablesPixels = std::int64_t{48} * 1000 * 1000;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct Destination {
    jpeg_destination_mgr pub;
    OutputStream* out;
    JOCTET* buffer;
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void silentMessage(j_common_ptr) {}

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutBytes;
}

boolean emptyBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    // A failed write leaves the stream failed; the row loop stops on it.
    dest->out->write(dest->buffer, kOutBytes);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->out->write(dest->buffer, kOutBytes - dest->pub.free_in_buffer);
}

struct Buffers {
    std::uint8_t* rows;  // kBatchRows interleaved rows
    JOCTET* out;         // kOutBytes
};

bool readBatch(RowSource& source, std::int64_t first, int count, std::uint8_t* rows,
               JSAMPROW* pointers) {
    const std::int64_t width = source.width();
    for (int i = 0; i < count; ++i) {
        RgbRow row;
        if (!source.row(first + i, &row)) {
            return false;
        }
        pointers[i] = rows + static_cast<std::size_t>(i) * static_cast<std::size_t>(3 * width);
        interleaveRgb(row, width, pointers[i]);
    }
    return true;
}

// Only trivially destructible locals here: see the note at the top.
bool compress(RowSource& source, OutputStream& out, const Buffers& buffers, int quality) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    Destination dest;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentMessage;
    if (setjmp(err.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = initDestination;
    dest.pub.empty_output_buffer = emptyBuffer;
    dest.pub.term_destination = termDestination;
    dest.out = &out;
    dest.buffer = buffers.out;
    cinfo.dest = &dest.pub;
    cinfo.image_width = static_cast<JDIMENSION>(source.width());
    cinfo.image_height = static_cast<JDIMENSION>(source.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    cinfo.optimize_coding = source.width() * source.height() <= kOptimizedTablesPixels;
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW pointers[kBatchRows];
    bool ok = true;
    while (ok && cinfo.next_scanline < cinfo.image_height) {
        const auto first = static_cast<std::int64_t>(cinfo.next_scanline);
        const int count =
            static_cast<int>(std::min<std::int64_t>(kBatchRows, source.height() - first));
        ok = readBatch(source, first, count, buffers.rows, pointers) && !out.failed();
        if (ok) {
            jpeg_write_scanlines(&cinfo, pointers, static_cast<JDIMENSION>(count));
        }
    }
    if (ok) {
        jpeg_finish_compress(&cinfo);
    }
    jpeg_destroy_compress(&cinfo);
    return ok && !out.failed();
}

}  // namespace

bool encodeJpeg(RowSource& source, OutputStream& out, const EncodeOptions& options) {
    const int quality = options.jpegQuality;
    const std::int64_t width = source.width();
    std::vector<std::uint8_t> rows;
    std::vector<JOCTET> outBuffer;
    try {
        rows.resize(static_cast<std::size_t>(kBatchRows * 3 * width));
        outBuffer.resize(kOutBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return compress(source, out, Buffers{rows.data(), outBuffer.data()}, quality);
}

}  // namespace vrs
