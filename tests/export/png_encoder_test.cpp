// SPDX-License-Identifier: MIT
// The PNG encoder's own chunks and its strip-parallel zlib stream, read back
// by zlib's inflate, libpng and Qt.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "export/encoders.h"
#include "export/png/png_settings.h"
#include "picture_support.h"

namespace vrs::testing {
namespace {

std::uint32_t be32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
           at[3];
}

struct Chunks {
    std::vector<std::string> types;
    std::vector<std::uint8_t> idat;  // every IDAT's data, joined
    bool crcsMatch = true;
};

Chunks readChunks(const std::vector<std::uint8_t>& png) {
    Chunks chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = be32(&png[at]);
        if (at + 12 + length > png.size()) {
            break;
        }
        const std::uint8_t* type = &png[at + 4];
        chunks.types.emplace_back(reinterpret_cast<const char*>(type), 4);
        const uLong crc = crc32(0, type, 4 + length);
        chunks.crcsMatch = chunks.crcsMatch && crc == be32(&png[at + 8 + length]);
        if (chunks.types.back() == "IDAT") {
            chunks.idat.insert(chunks.idat.end(), type + 4, type + 4 + length);
        }
        at += 12 + length;
    }
    return chunks;
}

// Inflates a zlib stream; inflate itself checks the header and the Adler-32.
// Empty when the stream is not complete and valid.
std::vector<std::uint8_t> inflateAll(const std::vector<std::uint8_t>& stream) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return {};
    }
    std::vector<std::uint8_t> out(1 << 16);
    std::size_t produced = 0;
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (produced == out.size()) {
            out.resize(2 * out.size());
        }
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&z, Z_NO_FLUSH);
        produced = out.size() - z.avail_out;
    }
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    out.resize(whole ? produced : 0);
    return out;
}

// libpng's simplified reader, as 8-bit RGB; empty when it fails.
std::vector<std::uint8_t> readWithLibpng(const std::vector<std::uint8_t>& png, int* width,
                                         int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return pixels;
}

std::int64_t libpngDifferences(const std::vector<std::uint8_t>& png, const Image& image) {
    int w = 0;
    int h = 0;
    const auto pixels = readWithLibpng(png, &w, &h);
    if (pixels.empty() || w != image.rep()->width() || h != image.rep()->height()) {
        return -1;
    }
    std::int64_t differing = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &pixels[3 * (static_cast<std::size_t>(y) * w + x)];
            differing += !(Rgb{p[0], p[1], p[2]} == pixelOf(image, x, y));
        }
    }
    return differing;
}

std::vector<std::uint8_t> encodeWith(const Image& image, const PngSettings& settings) {
    BitmapRowSource source(*image.rep());
    MemoryStream out;
    EXPECT_TRUE(encodePngWith(source, out, settings));
    return out.bytes();
}

PngSettings smallStrips(std::size_t stripBytes, int workers, int filters = 0x10) {
    PngSettings settings;
    settings.filters = filters;
    settings.deflate.stripBytes = stripBytes;
    settings.deflate.trialBytes = stripBytes / 3;
    settings.palette = false;
    settings.deflate.workers = workers;
    return settings;
}

// Every size against strips that end inside rows, on row ends and after the
// last row; the file must decode exactly through all three readers.
TEST(PngStrips, EverySizeAndStripDecodesExactly) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {13, 1}, {37, 23}, {64, 33}};
    for (const auto& [w, h] : sizes) {
        const auto image = makeImage(w, h, rainbow);
        const std::size_t rowBytes = 3 * static_cast<std::size_t>(w) + 1;
        for (const std::size_t strip : {std::size_t{1}, std::size_t{7}, rowBytes, 4 * rowBytes,
                                        4 * rowBytes - 1, 4 * rowBytes + 1, std::size_t{1} << 19}) {
            for (const int workers : {1, 3}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " strip " +
                             std::to_string(strip) + " workers " + std::to_string(workers));
                const auto png = encodeWith(*image, smallStrips(strip, workers));
                const Chunks chunks = readChunks(png);
                EXPECT_TRUE(chunks.crcsMatch);
                ASSERT_GE(chunks.types.size(), 3u);
                EXPECT_EQ("IHDR", chunks.types.front());
                EXPECT_EQ("IEND", chunks.types.back());
                EXPECT_EQ(rowBytes * h, inflateAll(chunks.idat).size());
                EXPECT_EQ(0, differingPixels(readBack(png), *image));
                EXPECT_EQ(0, libpngDifferences(png, *image));
            }
        }
    }
}

// The filtered rows do not depend on how they are cut into strips: the
// inflated data of many small strips equals that of one strip, and each row
// starts with the chosen filter's type.
TEST(PngStrips, StripsDoNotChangeTheFilteredRows) {
    // Rows repeat in threes, so the row choice has rows to put under "up".
    const auto image =
        makeImage(50, 40, [](std::int64_t x, std::int64_t y) { return rainbow(x, y / 3); });
    const std::size_t rowBytes = 3 * 50 + 1;
    for (const int filters : {0x08, 0x10, 0x20, 0x40, 0x80, 0xF8, 0}) {
        SCOPED_TRACE(filters);
        const auto whole =
            inflateAll(readChunks(encodeWith(*image, smallStrips(1 << 20, 1, filters))).idat);
        const auto cutPng = encodeWith(*image, smallStrips(100, 2, filters));
        EXPECT_EQ(0, differingPixels(readBack(cutPng), *image));
        const auto cut = inflateAll(readChunks(cutPng).idat);
        ASSERT_EQ(rowBytes * 40, whole.size());
        EXPECT_EQ(whole, cut);
        if (filters == 0) {
            for (std::size_t y = 0; y < 40; ++y) {
                EXPECT_EQ(y % 3 == 0 ? 0 : 2, whole[y * rowBytes]) << y;
            }
        }
        if (filters != 0 && filters != 0xF8) {
            const int type = __builtin_ctz(static_cast<unsigned>(filters)) - 3;
            for (std::size_t y = 0; y < 40; ++y) {
                EXPECT_EQ(type, whole[y * rowBytes]) << y;
            }
        }
    }
}

// A picture spanning many strips, with far strips referring back across
// strip boundaries (repeated rows), strips that go on by Huffman coding
// alone after their trial (noisy rows) and back to matching (flat rows after
// noisy ones), decodes exactly.
TEST(PngStrips, ManyStripsOfALargerPicture) {
    const auto image = makeImage(1201, 487, [](std::int64_t x, std::int64_t y) {
        const auto n = static_cast<std::uint32_t>((x * 2654435761U) ^ (y * 40503U)) * 2246822519U;
        const Rgb noisy{static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
                        static_cast<std::uint8_t>(n >> 24)};
        return (y / 7) % 3 == 0 ? noisy : fewColours(5)(x, y / 5);
    });
    PngSettings settings;
    settings.deflate.stripBytes = std::size_t{1} << 16;
    settings.deflate.trialBytes = std::size_t{1} << 12;
    const auto png = encodeWith(*image, settings);
    EXPECT_EQ(std::size_t{3 * 1201 + 1} * 487, inflateAll(readChunks(png).idat).size());
    EXPECT_EQ(0, differingPixels(readBack(png), *image));
    EXPECT_EQ(0, libpngDifferences(png, *image));
}

// Each strip is primed with the data before it, so a strip can refer back
// into the previous ones: five distinct rows, repeated, stay about as small
// cut into many strips as in one.
TEST(PngStrips, StripsReferBackAcrossTheirStarts) {
    const auto image =
        makeImage(400, 300, [](std::int64_t x, std::int64_t y) { return rainbow(x, y % 5); });
    const std::size_t whole = encodeWith(*image, smallStrips(1 << 20, 1, 0x08)).size();
    const std::size_t cut = encodeWith(*image, smallStrips(12000, 2, 0x08)).size();
    EXPECT_LT(cut, 2 * whole) << whole;
}

// libpng's simplified writer with its default filters and zlib settings.
std::vector<std::uint8_t> writeWithLibpng(const Image& image) {
    const auto w = static_cast<int>(image.rep()->width());
    const auto h = static_cast<int>(image.rep()->height());
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb p = pixelOf(image, x, y);
            pixels.insert(pixels.end(), {p.r, p.g, p.b});
        }
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(w);
    png.height = static_cast<png_uint_32>(h);
    png.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
        return {};
    }
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&png, out.data(), &size, 0, pixels.data(), 0, nullptr)) {
        return {};
    }
    out.resize(size);
    return out;
}

// A smooth gradient, where unfiltered rows compress poorly, is no larger
// than libpng makes it.
TEST(PngSize, AGradientIsNoLargerThanLibpngMakesIt) {
    const auto image = makeImage(641, 403, [](std::int64_t x, std::int64_t y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / 640),
                   static_cast<std::uint8_t>(y * 200 / 402),
                   static_cast<std::uint8_t>((x + 2 * y) * 255 / 1446)};
    });
    const auto reference = writeWithLibpng(*image);
    ASSERT_FALSE(reference.empty());
    const auto ours = encodeWith(*image, PngSettings{});
    EXPECT_LE(ours.size(), reference.size());
    EXPECT_EQ(0, libpngDifferences(ours, *image));
}

// Pictures of 256 colours or fewer are written with a palette, at the least
// bit depth that holds their indices, and read back exactly; one colour more
// and the file is RGB.
TEST(PngPalette, FewColoursAreIndexedAndReadBackExactly) {
    const std::pair<int, int> expected[] = {{2, 1}, {3, 2}, {5, 4}, {17, 8}, {256, 8}, {257, 0}};
    for (const auto& [colours, depth] : expected) {
        SCOPED_TRACE(colours);
        const auto image = makeImage(37, 23, [colours = colours](std::int64_t x, std::int64_t y) {
            const auto i = static_cast<int>((x + 37 * y) % colours);
            return Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>((i >> 8) * 100 + 3),
                       static_cast<std::uint8_t>(255 - i / 2)};
        });
        const auto png = encodeWith(*image, PngSettings{});
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(depth == 0 ? 8 : depth, png[24]);  // IHDR: bit depth, colour type
        EXPECT_EQ(depth == 0 ? 2 : 3, png[25]);
        EXPECT_EQ(depth != 0, readChunks(png).types[1] == "PLTE");
        EXPECT_EQ(0, libpngDifferences(png, *image));
    }
}

class FailingRows final : public RowSource {
  public:
    FailingRows(const Image& image, std::int64_t failAt) : rows_(*image.rep()), failAt_(failAt) {}
    std::int64_t width() const override { return rows_.width(); }
    std::int64_t height() const override { return rows_.height(); }
    bool row(std::int64_t y, RgbRow* out) override { return y != failAt_ && rows_.row(y, out); }

  private:
    BitmapRowSource rows_;
    std::int64_t failAt_;
};

TEST(PngFailures, ARowThatCannotBeReadFailsTheConversion) {
    const auto image = makeImage(40, 60, rainbow);
    for (const std::int64_t failAt : {0, 1, 30, 59}) {
        for (const std::size_t strip : {std::size_t{50}, std::size_t{1} << 19}) {
            FailingRows source(*image, failAt);
            MemoryStream out;
            EXPECT_FALSE(encodePngWith(source, out, smallStrips(strip, 2)))
                << failAt << " " << strip;
        }
    }
}

// Accepts `limit` bytes, then fails like a full disk.
class FullStream final : public OutputStream {
  public:
    explicit FullStream(std::uint64_t limit) : limit_(limit) {}
    bool write(const void*, std::size_t size) override {
        failed_ = failed_ || size_ + size > limit_;
        size_ += failed_ ? 0 : size;
        return !failed_;
    }
    bool seek(std::uint64_t) override { return false; }
    std::uint64_t position() const override { return size_; }
    std::uint64_t size() const override { return size_; }
    bool failed() const override { return failed_; }

  private:
    std::uint64_t limit_;
    std::uint64_t size_ = 0;
    bool failed_ = false;
};

TEST(PngFailures, AFailedWriteAnywhereFailsTheConversion) {
    const auto image = makeImage(300, 200, rainbow);
    const std::size_t full = encodeWith(*image, smallStrips(4000, 2)).size();
    for (const std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{10}, std::uint64_t{40},
                                      std::uint64_t{full / 2}, std::uint64_t{full - 1}}) {
        BitmapRowSource source(*image->rep());
        FullStream out(limit);
        EXPECT_FALSE(encodePngWith(source, out, smallStrips(4000, 2))) << limit;
        EXPECT_TRUE(out.failed());
    }
    BitmapRowSource source(*image->rep());
    FullStream exact(full);
    EXPECT_TRUE(encodePngWith(source, exact, smallStrips(4000, 2)));
}

}  // namespace
}  // namespace vrs::testing
