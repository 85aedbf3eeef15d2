// SPDX-License-Identifier: MIT
// libjpeg reports errors by calling error_exit, which must not return: it
// longjmps back to the setjmp in compress(). Nothing between the two has a
// destructor: compress() holds only plain data, and the destination grows
// its buffer with realloc, keeping it in the caller's Destination.
// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "export/jpeg/chunk_compressor.h"

namespace vrs {
namespace {

constexpr std::size_t kFirstBytes = 1 << 16;
constexpr JDIMENSION kBatchRows = 16;
constexpr int kStartOfFrame = 0xC0;
constexpr int kHuffmanTables = 0xC4;
constexpr int kStartOfScan = 0xDA;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct Destination {
    jpeg_destination_mgr pub;
    std::uint8_t* buffer;
    std::size_t capacity;
    std::size_t size;  // once finished
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void silentMessage(j_common_ptr) {}

// Each compressing thread writes into a buffer of its own, grown as needed
// and kept for its next chunks; a chunk's bytes are then copied into memory
// of their size. Chunks kept until the end would otherwise sit between the
// buffers libjpeg allocates and frees for each chunk, and those would land
// on fresh pages every time.
struct Scratch {
    Scratch() = default;
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() { std::free(buffer); }
    std::uint8_t* buffer = nullptr;
    std::size_t capacity = 0;
};

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean growBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    const std::size_t used = dest->capacity;
    void* grown = std::realloc(dest->buffer, 2 * used);
    if (grown == nullptr) {
        errorExit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    dest->buffer = static_cast<std::uint8_t*>(grown);
    dest->capacity = 2 * used;
    dest->pub.next_output_byte = dest->buffer + used;
    dest->pub.free_in_buffer = dest->capacity - used;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->size = dest->capacity - dest->pub.free_in_buffer;
}

// Only trivially destructible locals here: see the note at the top.
bool compress(const std::uint8_t* rgb, std::int64_t width, std::int64_t rows, int quality,
              Destination& dest) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentMessage;
    if (setjmp(err.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = initDestination;
    dest.pub.empty_output_buffer = growBuffer;
    dest.pub.term_destination = termDestination;
    cinfo.dest = &dest.pub;
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(rows);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
    cinfo.optimize_coding = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(3 * width);
    JSAMPROW pointers[kBatchRows];
    while (cinfo.next_scanline < cinfo.image_height) {
        const JDIMENSION first = cinfo.next_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(kBatchRows, cinfo.image_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            pointers[i] = const_cast<JSAMPROW>(rgb + (first + i) * stride);
        }
        jpeg_write_scanlines(&cinfo, pointers, count);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

std::size_t be16(const std::uint8_t* p) {
    return static_cast<std::size_t>(p[0]) << 8 | p[1];
}

// The tables of one DHT segment's payload.
bool readTables(const std::uint8_t* p, std::size_t length, JpegTables* tables) {
    std::size_t at = 0;
    while (at < length) {
        if (length - at < 17) {
            return false;
        }
        const int kind = p[at] >> 4;
        const int id = p[at] & 15;
        HuffmanTable codeTable;
        std::size_t count = 0;
        for (int i = 1; i <= 16; ++i) {
            codeTable.bits[i] = p[at + i];
            count += p[at + i];
        }
        at += 17;
        if (kind > 1 || id > 1 || count > 256 || length - at < count) {
            return false;
        }
        codeTable.values.assign(p + at, p + at + count);
        at += count;
        (kind == 0 ? tables->dc[id] : tables->ac[id]) = std::move(codeTable);
    }
    return true;
}

// The blocks of each component in the scan's order, from the frame and scan headers.
bool readLayout(const std::uint8_t* sof, const std::uint8_t* sos, ScanLayout* layout) {
    const std::size_t rows = be16(sof + 1);
    const std::size_t width = be16(sof + 3);
    if (sof[5] != kScanComponents || sos[0] != kScanComponents) {
        return false;
    }
    int maxH = 1;
    int maxV = 1;
    for (int c = 0; c < kScanComponents; ++c) {
        const std::uint8_t* frame = sof + 6 + 3 * c;
        const std::uint8_t* scan = sos + 1 + 2 * c;
        const int h = frame[1] >> 4;
        const int v = frame[1] & 15;
        if (frame[0] != scan[0] || h < 1 || v < 1 || (scan[1] >> 4) > 1 || (scan[1] & 15) > 1) {
            return false;
        }
        maxH = std::max(maxH, h);
        maxV = std::max(maxV, v);
        layout->blocksPerMcu[c] = h * v;
        layout->dcTable[c] = scan[1] >> 4;
        layout->acTable[c] = scan[1] & 15;
    }
    const auto across = static_cast<std::int64_t>((width + 8 * maxH - 1) / (8 * maxH));
    const auto down = static_cast<std::int64_t>((rows + 8 * maxV - 1) / (8 * maxV));
    layout->mcus = across * down;
    return true;
}

// Walks the markers up to the scan. libjpeg writes each segment's length.
bool findParts(JpegChunk* chunk) {
    const std::uint8_t* p = chunk->bytes.get();
    const std::size_t size = chunk->size;
    if (size < 4 || p[0] != 0xFF || p[1] != 0xD8 || p[size - 2] != 0xFF || p[size - 1] != 0xD9) {
        return false;
    }
    std::size_t at = 2;
    while (at + 4 <= size && p[at] == 0xFF) {
        const int marker = p[at + 1];
        const std::size_t length = be16(p + at + 2);
        if (length < 2 || at + 2 + length > size) {
            return false;
        }
        const std::uint8_t* payload = p + at + 4;
        if (marker == kStartOfFrame) {
            chunk->sofAt = at;
        } else if (marker == kHuffmanTables && !readTables(payload, length - 2, &chunk->tables)) {
            return false;
        } else if (marker == kStartOfScan) {
            chunk->sosAt = at;
            chunk->dataAt = at + 2 + length;
            chunk->dataEnd = size - 2;
            const std::size_t sofLength = chunk->sofAt ? be16(p + chunk->sofAt + 2) : 0;
            return sofLength == 8 + 3 * kScanComponents && length == 6 + 2 * kScanComponents &&
                   readLayout(p + chunk->sofAt + 4, payload, &chunk->layout);
        }
        at += 2 + length;
    }
    return false;
}

}  // namespace

void FreeDeleter::operator()(std::uint8_t* p) const {
    std::free(p);
}

bool compressChunk(const std::uint8_t* rgb, std::int64_t width, std::int64_t rows, int quality,
                   JpegChunk* chunk) {
    thread_local Scratch scratch;
    if (scratch.buffer == nullptr) {
        scratch.capacity =
            std::max<std::size_t>(kFirstBytes, static_cast<std::size_t>(3 * width * rows / 8));
        scratch.buffer = static_cast<std::uint8_t*>(std::malloc(scratch.capacity));
        if (scratch.buffer == nullptr) {
            return false;
        }
    }
    Destination dest{};
    dest.buffer = scratch.buffer;
    dest.capacity = scratch.capacity;
    const bool ok = compress(rgb, width, rows, quality, dest);
    scratch.buffer = dest.buffer;  // perhaps grown
    scratch.capacity = dest.capacity;
    if (!ok) {
        return false;
    }
    chunk->bytes.reset(static_cast<std::uint8_t*>(std::malloc(dest.size)));
    if (!chunk->bytes) {
        return false;
    }
    std::memcpy(chunk->bytes.get(), dest.buffer, dest.size);
    chunk->size = dest.size;
    return findParts(chunk);
}

}  // namespace vrs
