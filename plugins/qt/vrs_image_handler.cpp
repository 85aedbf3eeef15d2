// SPDX-License-Identifier: MIT
#include "vrs_image_handler.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>
#include <QVariant>
#include <climits>
#include <memory>

#include "decode/file_row_source.h"
#include "device_bytes.h"
#include "header_sniff.h"

namespace vrs::plugin {
namespace {

// The header's picture size, from the device's next bytes, or an invalid size.
QSize headerSize(QIODevice* device) {
    if (device == nullptr) {
        return {};
    }
    const QByteArray head = device->peek(kHeaderSize);
    if (head.size() < static_cast<int>(kHeaderSize)) {
        return {};
    }
    // Checked as for a file that holds every row: only the header counts here.
    const VirtualScreenInfo info = inspectVirtualScreen(
        reinterpret_cast<const std::uint8_t*>(head.constData()), static_cast<std::size_t>(-1));
    if (info.error != LoadError::None || info.layout.width > INT_MAX ||
        info.layout.height > INT_MAX) {
        return {};
    }
    return {static_cast<int>(info.layout.width), static_cast<int>(info.layout.height)};
}

// Tells the host's log why a file was refused, in the loader's words; a
// host silences it with QT_LOGGING_RULES="vrs.imageformat=false".
void warn(const char* text) {
    const QLoggingCategory category("vrs.imageformat");
    if (category.isWarningEnabled()) {
        QMessageLogger(nullptr, 0, nullptr, category.categoryName()).warning("%s", text);
    }
}

bool allocate(QSize size, QImage* image) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Within the host's QImageReader::allocationLimit.
    return QImageIOHandler::allocateImage(size, QImage::Format_RGB32, image);
#else
    *image = QImage(size, QImage::Format_RGB32);
    return !image->isNull();
#endif
}

// Whether a picture of this size is beyond the host's allocation limit
// (Qt 6's QImageReader::allocationLimit, in megabytes; 0 for none), as
// opposed to memory being short.
bool beyondAllocationLimit(QSize size, int* limitMegabytes) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    *limitMegabytes = QImageReader::allocationLimit();
    const auto bytes =
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) * 4;
    return *limitMegabytes > 0 && bytes > (static_cast<std::uint64_t>(*limitMegabytes) << 20);
#else
    *limitMegabytes = 0;
    static_cast<void>(size);
    return false;
#endif
}

// The rows and columns of `clip` alone: the same file, its rows starting
// further in and narrower.
PixelRows clipped(const PixelRows& rows, const QRect& clip) {
    PixelRows part = rows;
    const auto bytesPerPixel = static_cast<std::uint64_t>(rows.layout.bytesPerPixel());
    part.layout.headerSize +=
        static_cast<std::uint64_t>(clip.y()) * static_cast<std::uint64_t>(rows.layout.stride) +
        static_cast<std::uint64_t>(clip.x()) * bytesPerPixel;
    part.layout.width = clip.width();
    part.layout.height = clip.height();
    return part;
}

}  // namespace

bool VrsImageHandler::canRead() const {
    if (!canRead(device())) {
        return false;
    }
    setFormat("vrs");
    return true;
}

bool VrsImageHandler::canRead(QIODevice* device) {
    if (device == nullptr) {
        return false;
    }
    const QByteArray head = device->peek(kHeaderSize);
    return recognise(reinterpret_cast<const std::uint8_t*>(head.constData()),
                     static_cast<std::size_t>(head.size()));
}

bool VrsImageHandler::read(QImage* image) {
    DeviceBytes file(device());
    VirtualScreenInfo info;
    info.fileSize = file.size();
    info.error = LoadError::TooShortForHeader;
    if (file.ok()) {
        info = inspectVirtualScreen(file.header(), static_cast<std::size_t>(-1));
        if (info.error == LoadError::None && !file.fetch(info.bytesNeeded)) {
            warn("vrs: not enough memory to take in the file's bytes from the device");
            return false;
        }
        // The loader's checks, on the length the device has.
        info = inspectVirtualScreen(file.header(), static_cast<std::size_t>(file.size()));
    }
    if (info.error != LoadError::None) {
        warn(("vrs: " + describeLoadError(info)).c_str());
        return false;
    }
    if (info.layout.width > INT_MAX || info.layout.height > INT_MAX) {
        warn("vrs: the picture is larger than a QImage can hold");
        return false;
    }
    QImage out;
    QSize size;
    const Failure failure = readRows({file.bytes(), info.layout}, &out, &size);
    if (failure != Failure::None) {
        warn(("vrs: " + failureText(failure, size, info)).c_str());
        return false;
    }
    *image = std::move(out);
    return true;
}

// The words for a read that failed after the header was accepted.
std::string VrsImageHandler::failureText(Failure failure, QSize size,
                                         const VirtualScreenInfo& info) {
    const std::string pixels = std::to_string(size.width()) + " x " + std::to_string(size.height());
    int limit = 0;
    switch (failure) {
        case Failure::None:
            break;
        case Failure::AllocationLimit:
            beyondAllocationLimit(size, &limit);
            return "a picture of " + pixels + " is beyond the allocation limit of " +
                   std::to_string(limit) + " MB (QImageReader::allocationLimit)";
        case Failure::Memory:
            return "not enough memory for a picture of " + pixels;
        case Failure::ClipOutside:
            return "the clip rectangle lies outside the picture of " +
                   std::to_string(info.layout.width) + " x " + std::to_string(info.layout.height);
        case Failure::Changed: {
            VirtualScreenInfo changed;
            changed.error = LoadError::ChangedWhileRead;
            return describeLoadError(changed);
        }
    }
    return {};
}

// The full picture (or its clip rectangle), or the scaled size asked for:
// box-averaged from the file's rows when it is no larger than the picture
// both ways (memory and work then follow the scaled size), else scaled up
// from the full picture.
VrsImageHandler::Failure VrsImageHandler::readRows(const PixelRows& file, QImage* image,
                                                   QSize* size) const {
    const QRect whole(0, 0, static_cast<int>(file.layout.width),
                      static_cast<int>(file.layout.height));
    const QRect part = clipRect_.isValid() ? clipRect_ & whole : whole;
    if (part.isEmpty()) {
        return Failure::ClipOutside;
    }
    const PixelRows rows = clipped(file, part);
    const QSize full = part.size();
    const bool scaled = scaledSize_.isValid() && !scaledSize_.isEmpty() && scaledSize_ != full;
    const bool shrink =
        scaled && scaledSize_.width() <= full.width() && scaledSize_.height() <= full.height();
    std::unique_ptr<RowSource> source;
    bool valid = false;
    if (shrink) {
        auto thumbnail =
            std::make_unique<ThumbnailRowSource>(rows, scaledSize_.width(), scaledSize_.height());
        valid = thumbnail->valid();
        source = std::move(thumbnail);
    } else {
        auto picture = std::make_unique<FileRowSource>(rows, false);
        valid = picture->valid();
        source = std::move(picture);
    }
    *size = QSize(static_cast<int>(source->width()), static_cast<int>(source->height()));
    int limit = 0;
    if (!valid) {
        return Failure::Memory;
    }
    if (beyondAllocationLimit(*size, &limit)) {
        return Failure::AllocationLimit;
    }
    QImage out;
    if (!allocate(*size, &out)) {
        return Failure::Memory;
    }
    for (int y = 0; y < size->height(); ++y) {
        RgbRow row;
        if (!source->row(y, &row)) {
            return Failure::Changed;
        }
        packRgb32(row, size->width(), reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    }
    if (scaled && !shrink) {
        *size = scaledSize_;
        if (beyondAllocationLimit(*size, &limit)) {
            return Failure::AllocationLimit;
        }
        out = out.scaled(scaledSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (out.isNull()) {
            return Failure::Memory;
        }
    }
    *image = std::move(out);
    return Failure::None;
}

QVariant VrsImageHandler::option(ImageOption option) const {
    if (option == Size) {
        const QSize size = headerSize(device());
        return size.isValid() ? QVariant(size) : QVariant();
    }
    if (option == ImageFormat) {
        return QVariant(static_cast<int>(QImage::Format_RGB32));
    }
    if (option == ScaledSize) {
        return scaledSize_;
    }
    if (option == ClipRect) {
        return clipRect_;
    }
    return {};
}

void VrsImageHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == ScaledSize) {
        scaledSize_ = value.toSize();
    }
    if (option == ClipRect) {
        clipRect_ = value.toRect();
    }
}

bool VrsImageHandler::supportsOption(ImageOption option) const {
    return option == Size || option == ImageFormat || option == ScaledSize || option == ClipRect;
}

}  // namespace vrs::plugin
