// SPDX-License-Identifier: MIT
// libpng reports errors by longjmp: every function here that calls into it
// sets its jump point first and holds nothing with a destructor.
#include "compare/png_rows.h"

#include "compare/compared_rows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vrs {
namespace {

// Bytes read from the file at a time.
constexpr std::size_t kReadBlock = std::size_t{1} << 20;
// The most bytes deflate can make of one byte: no picture's image data is
// larger than its file's bytes times this.
constexpr std::uint64_t kDeflateRatio = 1032;

}  // namespace

struct PngRows::State {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FileBytes bytes;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;         // of the next byte libpng takes
    std::vector<std::uint8_t> block;  // file bytes [blockAt, blockAt + block.size())
    std::uint64_t blockAt = 0;
    bool readFailed = false;  // the file ended early, or changed
    char message[200] = {};
    std::uint8_t* picture = nullptr;  // an interlaced picture, decoded whole
    std::uint64_t rowBytes = 0;
    int channels = 4;                // of the rows libpng gives: 3 (no alpha) or 4
    std::vector<std::uint8_t> line;  // a row of three channels

    ~State() {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(picture);
    }

    // `length` bytes at the reading offset; false when they are not there.
    bool take(std::uint8_t* out, std::size_t length) {
        if (size == UINT64_MAX) {  // a stream, read in order through its own buffer
            const bool ok = bytes.read(offset, out, length);
            offset += length;
            return ok;
        }
        while (length > 0) {
            if (offset < blockAt || offset >= blockAt + block.size()) {
                if (!refill()) {
                    return false;
                }
            }
            const std::size_t at = static_cast<std::size_t>(offset - blockAt);
            const std::size_t n = std::min(length, block.size() - at);
            std::memcpy(out, block.data() + at, n);
            out += n;
            length -= n;
            offset += n;
        }
        return true;
    }

    bool refill() {
        if (offset >= size) {
            return false;
        }
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kReadBlock, size - offset)));
        blockAt = offset;
        return bytes.read(offset, block.data(), block.size()) && bytes.unchanged();
    }
};

namespace {

void onError(png_structp png, png_const_charp message) {
    auto* s = static_cast<PngRows::State*>(png_get_error_ptr(png));
    std::snprintf(s->message, sizeof s->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep out, png_size_t length) {
    auto* s = static_cast<PngRows::State*>(png_get_io_ptr(png));
    if (!s->take(out, length)) {
        s->readFailed = true;
        png_error(png, "the file ends early");
    }
}

// The bytes the file's image data inflates to, not interlaced: each row's
// samples as stored (1 to 64 bits a pixel) and its filter byte.
std::uint64_t storedBytes(PngRows::State* s) {
    const std::uint64_t bits =
        std::uint64_t{png_get_bit_depth(s->png, s->info)} * png_get_channels(s->png, s->info);
    const std::uint64_t width = png_get_image_width(s->png, s->info);
    const std::uint64_t height = png_get_image_height(s->png, s->info);
    const std::uint64_t row = (width * bits + 7) / 8 + 1;  // width < 2^31: no overflow
    return height == 0 || row <= UINT64_MAX / height ? height * row : UINT64_MAX;
}

// Reads the header and sets the transformations to red, green, blue, alpha.
bool readHeader(PngRows::State* s, std::uint32_t* width, std::uint32_t* height, int* passes,
                std::uint64_t* stored) {
    if (setjmp(png_jmpbuf(s->png)) != 0) {
        return false;
    }
    // The zlib checksum of the pixels is not worked out (a tenth of the
    // inflating time); the chunks' CRCs are still checked.
    png_set_option(s->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(s->png, s->info);
    *stored = storedBytes(s);
    png_set_expand(s->png);
    png_set_scale_16(s->png);
    png_set_gray_to_rgb(s->png);
    *passes = png_set_interlace_handling(s->png);
    png_read_update_info(s->png, s->info);
    s->channels = png_get_channels(s->png, s->info);
    *width = png_get_image_width(s->png, s->info);
    *height = png_get_image_height(s->png, s->info);
    return true;
}

bool readRow(PngRows::State* s, std::uint8_t* out) {
    if (setjmp(png_jmpbuf(s->png)) != 0) {
        return false;
    }
    png_read_row(s->png, out, nullptr);
    return true;
}

bool readWhole(PngRows::State* s, png_bytepp rows) {
    if (setjmp(png_jmpbuf(s->png)) != 0) {
        return false;
    }
    png_read_image(s->png, rows);
    return true;
}

}  // namespace

PngRows::PngRows(const FileBytes& bytes, std::uint64_t size) : state_(std::make_unique<State>()) {
    state_->bytes = bytes;
    state_->size = size;
}

PngRows::~PngRows() = default;

bool PngRows::fail(ReadProblem problem) {
    problem_ = problem;
    if (problem == ReadProblem::Damaged && state_->readFailed) {
        problem_ = state_->bytes.unchanged() ? ReadProblem::Damaged : ReadProblem::ChangedWhileRead;
    }
    detail_ = state_->message;
    return false;
}

bool PngRows::open() {
    State* s = state_.get();
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, s, onError, onWarning);
    if (s->png == nullptr || (s->info = png_create_info_struct(s->png)) == nullptr) {
        return fail(ReadProblem::OutOfMemory);
    }
    png_set_read_fn(s->png, s, onRead);
    // Compressed bytes handed to zlib at a time (8 KiB by default).
    png_set_compression_buffer_size(s->png, kReadBlock);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int passes = 1;
    std::uint64_t stored = 0;
    if (!readHeader(s, &width, &height, &passes, &stored)) {
        return fail(ReadProblem::Damaged);
    }
    width_ = width;
    height_ = height;
    s->rowBytes = static_cast<std::uint64_t>(s->channels) * width;
    // Rows read one at a time are judged on the bytes as stored (1-bit
    // indices are a thirty-second of the rows they give); an interlaced
    // picture, held whole, on the rows given.
    const std::uint64_t bytes = s->rowBytes * height;  // at most 2^31 x 2^31 x 4: no overflow
    if (s->size != UINT64_MAX && (passes == 1 ? stored : bytes) / kDeflateRatio > s->size) {
        std::snprintf(s->message, sizeof s->message, "%u x %u pixels in a file of %llu bytes",
                      width, height, static_cast<unsigned long long>(s->size));
        return fail(ReadProblem::TooLarge);
    }
    if (passes == 1) {
        try {
            s->line.resize(s->channels == 3 ? static_cast<std::size_t>(s->rowBytes) : 0);
        } catch (const std::bad_alloc&) {
            return fail(ReadProblem::OutOfMemory);
        }
        return true;
    }
    // Interlaced: the whole picture first. Untouched pages of a large
    // allocation take no memory, so a file that ends early costs little.
    s->picture = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
    std::vector<png_bytep> rows;
    try {
        rows.resize(static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return fail(ReadProblem::OutOfMemory);
    }
    if (s->picture == nullptr) {
        return fail(ReadProblem::OutOfMemory);
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        rows[y] = s->picture + y * s->rowBytes;
    }
    return readWhole(s, rows.data()) || fail(ReadProblem::Damaged);
}

bool PngRows::nextRow(std::uint8_t* out) {
    if (problem_ != ReadProblem::None || next_ >= height_) {
        return false;
    }
    State* s = state_.get();
    const bool widened = s->channels == 3;
    const std::uint8_t* row = nullptr;
    if (s->picture != nullptr) {
        row = s->picture + static_cast<std::uint64_t>(next_) * s->rowBytes;
    } else if (readRow(s, widened ? s->line.data() : out)) {
        row = widened ? s->line.data() : out;
    } else {
        return fail(ReadProblem::Damaged);
    }
    if (widened) {
        rgbPixels(row, width_, out);
    } else if (row != out) {
        std::memcpy(out, row, static_cast<std::size_t>(s->rowBytes));
    }
    ++next_;
    return true;
}

}  // namespace vrs
