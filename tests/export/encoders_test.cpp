// SPDX-License-Identifier: MIT
// Each encoder's file, read back by an independent decoder.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <QBuffer>
#include <QImageWriter>

#include <cstring>

#include "export/encoders.h"
#include "export/png/png_settings.h"
#include "picture_support.h"
#include "sample_picture.h"

namespace vrs::testing {
namespace {

std::vector<std::uint8_t> encode(ImageFormat format, const Image& image) {
    BitmapRowSource source(*image.rep());
    MemoryStream out;
    EXPECT_TRUE(encodeImage(format, source, out));
    return out.bytes();
}

struct Lossless {
    ImageFormat format;
    const char* magic;
};

class LosslessRoundTrip : public ::testing::TestWithParam<Lossless> {};

TEST_P(LosslessRoundTrip, OddSizesComeBackPixelForPixel) {
    // Odd widths exercise BMP's row padding and TIFF's strips; 1 x 1 and
    // single rows and columns the edges.
    for (const auto& [w, h] : {std::pair{37, 23}, {1, 1}, {1, 9}, {13, 1}, {402, 301}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const auto image = makeImage(w, h, rainbow);
        const auto bytes = encode(GetParam().format, *image);
        ASSERT_GT(bytes.size(), std::strlen(GetParam().magic));
        EXPECT_EQ(0, std::memcmp(bytes.data(), GetParam().magic, std::strlen(GetParam().magic)));
        const QImage back = readBack(bytes);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(0, differingPixels(back, *image));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip,
                         ::testing::Values(Lossless{ImageFormat::Png, "\x89PNG"},
                                           Lossless{ImageFormat::Tiff, "II*"},
                                           Lossless{ImageFormat::Bmp, "BM"}),
                         [](const auto& p) {
                             return std::string(formatInfo(p.param.format).name);
                         });

TEST(PngEncoder, EveryFilterChoiceDecodesTheSame) {
    const auto image = makeImage(61, 17, rainbow);
    for (const int level : {1, 6, 9}) {
        for (const int filters : {0x08, 0x10, 0x20, 0x40, 0x80, 0xF8}) {
            BitmapRowSource source(*image->rep());
            MemoryStream out;
            PngSettings settings;
            settings.filters = filters;
            settings.deflate.level = level;
            ASSERT_TRUE(encodePngWith(source, out, settings));
            EXPECT_EQ(0, differingPixels(readBack(out.bytes()), *image)) << level << " " << filters;
        }
    }
}

int tiffWarnings = 0;
void countWarning(const char*, const char*, va_list) {
    ++tiffWarnings;
}

// Baseline TIFF wants a resolution on RGB pictures: 72 per inch, read back
// by libtiff without a warning.
TEST(TiffEncoder, CarriesA72DotsPerInchResolution) {
    const auto bytes = encode(ImageFormat::Tiff, *makeImage(7, 5, rainbow));
    char name[] = "/tmp/vrs-tiff-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    ASSERT_TRUE(written);
    tiffWarnings = 0;
    const TIFFErrorHandler previous = TIFFSetWarningHandler(countWarning);
    TIFF* tif = TIFFOpen(name, "r");
    float x = 0, y = 0;
    std::uint16_t unit = 0;
    const bool read = tif != nullptr && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) == 1 &&
                      TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) == 1 &&
                      TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit) == 1;
    if (tif != nullptr) {
        TIFFClose(tif);
    }
    TIFFSetWarningHandler(previous);
    ::unlink(name);
    ASSERT_TRUE(read);
    EXPECT_EQ(72.0F, x);
    EXPECT_EQ(72.0F, y);
    EXPECT_EQ(RESUNIT_INCH, unit);
    EXPECT_EQ(0, tiffWarnings);
}

TEST(BmpEncoder, HeaderPaddingAndBottomUpRows) {
    const auto image = makeImage(5, 3, rainbow);  // 15 bytes of pixels, padded to 16
    const auto bytes = encode(ImageFormat::Bmp, *image);
    ASSERT_EQ(54u + 16u * 3u, bytes.size());
    auto le32 = [&bytes](std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    };
    EXPECT_EQ(static_cast<int>(bytes.size()), le32(2));
    EXPECT_EQ(54, le32(10));
    EXPECT_EQ(5, le32(18));
    EXPECT_EQ(3, le32(22));  // positive height: bottom-up
    EXPECT_EQ(24, bytes[28]);
    // The first stored row is the bottom one, blue first; its pad byte is 0.
    const Rgb bottomLeft = rainbow(0, 2);
    EXPECT_EQ(bottomLeft.b, bytes[54]);
    EXPECT_EQ(bottomLeft.g, bytes[55]);
    EXPECT_EQ(bottomLeft.r, bytes[56]);
    EXPECT_EQ(0, bytes[54 + 15]);
}

TEST(GifEncoder, AtMost256ColoursComeBackExactly) {
    for (const int colours : {2, 3, 200, 256}) {
        SCOPED_TRACE(colours);
        const auto image = makeImage(97, 61, fewColours(colours));
        const auto bytes = encode(ImageFormat::Gif, *image);
        ASSERT_EQ(0, std::memcmp(bytes.data(), "GIF87a", 6));
        const QImage back = readBack(bytes);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(0, differingPixels(back, *image));
        // The colour table is no larger than the colours need: 2^n entries.
        int tableSize = 2;
        while (tableSize < colours) {
            tableSize *= 2;
        }
        EXPECT_EQ(tableSize, 2 << (bytes[10] & 7));
    }
}

TEST(GifEncoder, ManyColoursAreQuantizedClosely) {
    const auto image = makeImage(640, 480, samplePicture(640, 480));
    const QImage back = readBack(encode(ImageFormat::Gif, *image));
    ASSERT_FALSE(back.isNull());
    EXPECT_GT(psnr(back, *image), 38.0);
    // The corner marks keep their colours: a channel swap or flip would not.
    const Rgb red = pixelOf(*image, 0, 0);
    const QRgb got = back.pixel(0, 0);
    EXPECT_NEAR(red.r, qRed(got), 4);
    EXPECT_NEAR(red.g, qGreen(got), 4);
    EXPECT_NEAR(red.b, qBlue(got), 4);
}

TEST(JpegEncoder, ScreenPictureKeepsItsQuality) {
    // The sample's windows are filled with 5 x 7 pixel text, the hardest case
    // for JPEG: quality 50 gives 28.1 dB there, 30 dB would take quality 66.
    const auto image = makeImage(641, 479, samplePicture(641, 479));
    const auto bytes = encode(ImageFormat::Jpeg, *image);
    ASSERT_EQ(0xFF, bytes[0]);
    ASSERT_EQ(0xD8, bytes[1]);
    const QImage back = readBack(bytes);
    ASSERT_FALSE(back.isNull());
    EXPECT_GE(psnr(back, *image), 28.0);  // vips, GraphicsMagick and ImageMagick give 28.5 too
    // Quality 50 is far from lossless: the file is much smaller than the pixels.
    EXPECT_LT(bytes.size(), 641u * 479u * 3u / 8u);
}

// A smooth gradient is mostly empty blocks: with tables made for it the file
// is as small as Qt's optimised write of the same pixels.
TEST(JpegEncoder, SmoothPictureGetsTablesMadeForIt) {
    const auto image = makeImage(641, 403, [](std::int64_t x, std::int64_t y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / 640),
                   static_cast<std::uint8_t>(y * 200 / 402),
                   static_cast<std::uint8_t>((x + 2 * y) * 255 / 1446)};
    });
    const auto ours = encode(ImageFormat::Jpeg, *image);
    QImage pixels(641, 403, QImage::Format_RGB32);
    for (int y = 0; y < 403; ++y) {
        for (int x = 0; x < 641; ++x) {
            const Rgb c = pixelOf(*image, x, y);
            pixels.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    }
    QBuffer buffer;
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(50);
    writer.setOptimizedWrite(true);
    ASSERT_TRUE(writer.write(pixels));
    EXPECT_LE(ours.size(), static_cast<std::size_t>(buffer.size()) + 64);  // headers differ
    EXPECT_GE(psnr(readBack(ours), *image), 40.0);
}

TEST(Encoders, RefuseSizesTheirFormatCannotHold) {
    // GIF's and JPEG's sides are 16-bit; this picture is one row.
    const auto wide = makeImage(70000, 1, rainbow);
    BitmapRowSource source(*wide->rep());
    MemoryStream out;
    EXPECT_FALSE(encodeImage(ImageFormat::Gif, source, out));
    EXPECT_FALSE(encodeImage(ImageFormat::Jpeg, source, out));
    EXPECT_FALSE(out.failed());  // a conversion failure, not a write failure
    EXPECT_TRUE(encodeImage(ImageFormat::Png, source, out));
}

// A source that fails at one row, as a damaged input would, counting the rows read.
class FailingSource final : public RowSource {
  public:
    FailingSource(const Image& image, std::int64_t failAt)
        : inner_(*image.rep()), failAt_(failAt) {}
    std::int64_t width() const override { return inner_.width(); }
    std::int64_t height() const override { return inner_.height(); }
    bool row(std::int64_t y, RgbRow* out) override {
        ++rowsRead_;
        return y != failAt_ && inner_.row(y, out);
    }
    bool scanRow(std::int64_t y, RgbRow* out) override {
        return y != failAt_ && inner_.row(y, out);
    }
    std::int64_t rowsRead() const { return rowsRead_; }

  private:
    BitmapRowSource inner_;
    std::int64_t failAt_;
    std::int64_t rowsRead_ = 0;
};

TEST(Encoders, StopOnAFailingRow) {
    const auto image = makeImage(40, 30, rainbow);
    for (const ImageFormat f : {ImageFormat::Tiff, ImageFormat::Jpeg, ImageFormat::Bmp,
                                ImageFormat::Gif, ImageFormat::Png}) {
        FailingSource source(*image, 17);
        MemoryStream out;
        EXPECT_FALSE(encodeImage(f, source, out)) << formatInfo(f).name;
    }
}

// The progress bar counts rows read: the table's passes are what each encoder reads.
// The progress of a conversion counts rows read: as many as the table says,
// whatever the picture's colours (a scan ahead is not counted).
TEST(Encoders, ReadEveryRowAsManyTimesAsTheTableSays) {
    for (const auto& image : {makeImage(41, 29, rainbow), makeImage(41, 29, fewColours(5))}) {
        for (const FormatInfo& f : imageFormats()) {
            FailingSource source(*image, -1);
            MemoryStream out;
            ASSERT_TRUE(encodeImage(f.format, source, out)) << f.name;
            EXPECT_EQ(29 * f.rowPasses, source.rowsRead()) << f.name;
        }
    }
}

}  // namespace
}  // namespace vrs::testing
