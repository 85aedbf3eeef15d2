// SPDX-License-Identifier: MIT
#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include "export/encoders.h"

namespace vrs {
namespace {

constexpr std::int64_t kStripBytes = std::int64_t{1} << 20;
// Past this a classic TIFF's 32-bit offsets cannot reach the end: BigTIFF.
constexpr std::uint64_t kClassicLimit = 0xF0000000u;
// Baseline readers expect a resolution on RGB pictures; screens are taken as 72 dpi.
constexpr double kDotsPerInch = 72.0;

OutputStream& streamOf(thandle_t handle) {
    return *static_cast<OutputStream*>(handle);
}

tmsize_t readProc(thandle_t, void*, tmsize_t) {
    return -1;
}

tmsize_t writeProc(thandle_t handle, void* data, tmsize_t size) {
    if (size < 0 || !streamOf(handle).write(data, static_cast<std::size_t>(size))) {
        return -1;
    }
    return size;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    OutputStream& out = streamOf(handle);
    std::uint64_t target = offset;
    if (whence == SEEK_CUR) {
        target += out.position();
    } else if (whence == SEEK_END) {
        target += out.size();
    }
    if (!out.seek(target)) {
        return static_cast<toff_t>(-1);
    }
    return target;
}

int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t handle) {
    return streamOf(handle).size();
}
int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}

// libtiff would print its complaints on stderr; a failed call is reported
// through its return value instead.
int quietHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

bool setFields(TIFF* tif, std::int64_t width, std::int64_t height, std::int64_t rowsPerStrip) {
    return TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width)) == 1 &&
           TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height)) == 1 &&
           TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) == 1 &&
           TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3) == 1 &&
           TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) == 1 &&
           TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
           TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == 1 &&
           TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
           TIFFSetField(tif, TIFFTAG_XRESOLUTION, kDotsPerInch) == 1 &&
           TIFFSetField(tif, TIFFTAG_YRESOLUTION, kDotsPerInch) == 1 &&
           TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) == 1 &&
           TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(rowsPerStrip)) == 1;
}

bool writeStrips(TIFF* tif, RowSource& source, std::int64_t rowsPerStrip, std::uint8_t* strip) {
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    const std::int64_t rowBytes = 3 * width;
    for (std::int64_t first = 0, index = 0; first < height; first += rowsPerStrip, ++index) {
        const std::int64_t rows = std::min(rowsPerStrip, height - first);
        for (std::int64_t i = 0; i < rows; ++i) {
            RgbRow row;
            if (!source.row(first + i, &row)) {
                return false;
            }
            interleaveRgb(row, width, strip + i * rowBytes);
        }
        if (TIFFWriteRawStrip(tif, static_cast<std::uint32_t>(index), strip, rows * rowBytes) < 0) {
            return false;
        }
    }
    return TIFFWriteDirectory(tif) == 1;
}

}  // namespace

bool encodeTiff(RowSource& source, OutputStream& out, const EncodeOptions&) {
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    const std::int64_t rowBytes = 3 * width;
    const std::int64_t rowsPerStrip = std::clamp<std::int64_t>(kStripBytes / rowBytes, 1, height);
    const bool big =
        static_cast<std::uint64_t>(rowBytes) * static_cast<std::uint64_t>(height) > kClassicLimit;
    std::vector<std::uint8_t> strip;
    try {
        strip.resize(static_cast<std::size_t>(rowsPerStrip * rowBytes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return false;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietHandler, nullptr);
    TIFF* tif = TIFFClientOpenExt("export", big ? "w8m" : "wm", &out, readProc, writeProc, seekProc,
                                  closeProc, sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    if (tif == nullptr) {
        return false;
    }
    const bool ok = setFields(tif, width, height, rowsPerStrip) &&
                    writeStrips(tif, source, rowsPerStrip, strip.data());
    TIFFClose(tif);
    return ok && !out.failed();
}

}  // namespace vrs
