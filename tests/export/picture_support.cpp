// SPDX-License-Identifier: MIT
#include "picture_support.h"

#include <tiffio.h>

#include <unistd.h>
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cmath>
#include <cstring>
#include <string>

#include "decode/planar_bitmap.h"
#include "qt_pixels.h"

namespace vrs::testing {
namespace {

// libtiff's RGBA reader, for a Qt without its TIFF plugin.
QImage readTiffWithLibtiff(const std::vector<std::uint8_t>& bytes) {
    char name[] = "/tmp/vrs-readback-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        return {};
    }
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    QImage image;
    TIFF* tif = written ? TIFFOpen(name, "r") : nullptr;
    if (tif != nullptr) {
        std::uint32_t w = 0, h = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(w) * h);
        if (TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0) == 1) {
            image = QImage(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB888);
            for (std::uint32_t y = 0; y < h; ++y) {
                for (std::uint32_t x = 0; x < w; ++x) {
                    const std::uint32_t p = raster[static_cast<std::size_t>(y) * w + x];
                    image.setPixel(static_cast<int>(x), static_cast<int>(y),
                                   qRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p)));
                }
            }
        }
        TIFFClose(tif);
    }
    ::unlink(name);
    return image;
}

}  // namespace

std::shared_ptr<Image> makeImage(std::int64_t width, std::int64_t height, const Paint& paint) {
    auto bitmap = MakeNewImageRep(width, height);
    if (!bitmap) {
        return nullptr;
    }
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t offset = y * bitmap->bytesPerRow();
        for (std::int64_t x = 0; x < width; ++x) {
            const Rgb c = paint(x, y);
            bitmap->plane(0)[offset + x] = c.r;
            bitmap->plane(1)[offset + x] = c.g;
            bitmap->plane(2)[offset + x] = c.b;
            bitmap->plane(3)[offset + x] = 255;
        }
    }
    return std::make_shared<Image>(
        ImageSize{static_cast<double>(width), static_cast<double>(height)}, std::move(bitmap));
}

Rgb rainbow(std::int64_t x, std::int64_t y) {
    return {static_cast<std::uint8_t>(x * 5 + y), static_cast<std::uint8_t>((y * 11) ^ x),
            static_cast<std::uint8_t>(x * y + 3 * y + 7)};
}

Paint fewColours(int colours) {
    return [colours](std::int64_t x, std::int64_t y) {
        const auto i = static_cast<std::uint32_t>((x * 7 + y * y * 3 + x * y) % colours);
        return Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                   static_cast<std::uint8_t>(i * 37 + 11)};
    };
}

QImage readBack(const std::vector<std::uint8_t>& bytes) {
    const bool tiff = bytes.size() > 4 && (std::memcmp(bytes.data(), "II*\0", 4) == 0 ||
                                           std::memcmp(bytes.data(), "MM\0*", 4) == 0);
    if (tiff && !QImageReader::supportedImageFormats().contains("tiff")) {
        return readTiffWithLibtiff(bytes);
    }
    QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    return toRgb888(image);
}

Rgb pixelOf(const Image& image, std::int64_t x, std::int64_t y) {
    const PlanarBitmap& b = *image.rep();
    const std::int64_t i = y * b.bytesPerRow() + x;
    return {b.plane(0)[i], b.plane(1)[i], b.plane(2)[i]};
}

std::int64_t differingPixels(const QImage& decoded, const Image& image) {
    const PlanarBitmap& b = *image.rep();
    if (decoded.width() != b.width() || decoded.height() != b.height()) {
        return -1;
    }
    std::int64_t count = 0;
    for (int y = 0; y < decoded.height(); ++y) {
        const uchar* line = decoded.constScanLine(y);
        for (int x = 0; x < decoded.width(); ++x) {
            const Rgb want = pixelOf(image, x, y);
            count +=
                (line[3 * x] != want.r || line[3 * x + 1] != want.g || line[3 * x + 2] != want.b);
        }
    }
    return count;
}

double psnr(const QImage& decoded, const Image& image) {
    const PlanarBitmap& b = *image.rep();
    if (decoded.width() != b.width() || decoded.height() != b.height()) {
        return 0;
    }
    double sum = 0;
    for (int y = 0; y < decoded.height(); ++y) {
        const uchar* line = decoded.constScanLine(y);
        for (int x = 0; x < decoded.width(); ++x) {
            const Rgb want = pixelOf(image, x, y);
            const double dr = line[3 * x] - want.r, dg = line[3 * x + 1] - want.g,
                         db = line[3 * x + 2] - want.b;
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * decoded.width() * decoded.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace vrs::testing
