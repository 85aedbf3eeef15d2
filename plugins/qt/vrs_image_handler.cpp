// SPDX-License-Identifier: MIT
#include "vrs_image_handler.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
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
            warn("vrs: not enough memory");
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
    if (!readRows({file.bytes(), info.layout}, image)) {
        VirtualScreenInfo changed;
        changed.error = LoadError::ChangedWhileRead;
        warn(("vrs: " + describeLoadError(changed)).c_str());
        return false;
    }
    return true;
}

// The full picture, or the scaled size asked for: box-averaged from the
// file's rows when it is no larger than the picture both ways (memory and
// work then follow the scaled size), else scaled up from the full picture.
bool VrsImageHandler::readRows(const PixelRows& rows, QImage* image) const {
    const QSize full(static_cast<int>(rows.layout.width), static_cast<int>(rows.layout.height));
    const bool shrink = scaledSize_.isValid() && !scaledSize_.isEmpty() &&
                        scaledSize_.width() <= full.width() &&
                        scaledSize_.height() <= full.height() && scaledSize_ != full;
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
    const QSize size(static_cast<int>(source->width()), static_cast<int>(source->height()));
    QImage out;
    if (!valid || !allocate(size, &out)) {
        return false;
    }
    for (int y = 0; y < size.height(); ++y) {
        RgbRow row;
        if (!source->row(y, &row)) {
            return false;
        }
        packRgb32(row, size.width(), reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    }
    if (scaledSize_.isValid() && !scaledSize_.isEmpty() && !shrink && scaledSize_ != full) {
        out = out.scaled(scaledSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    *image = std::move(out);
    return true;
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
    return {};
}

void VrsImageHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == ScaledSize) {
        scaledSize_ = value.toSize();
    }
}

bool VrsImageHandler::supportsOption(ImageOption option) const {
    return option == Size || option == ImageFormat || option == ScaledSize;
}

}  // namespace vrs::plugin
