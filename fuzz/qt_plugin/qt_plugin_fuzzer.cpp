// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a file a Qt program hands the plugin, read
// whole, read at a scaled size and asked its size, from a random-access
// device and from a sequential one.
#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QtGlobal>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vrs_image_handler.h"

namespace {

// Bytes that can be read once, in order, as from a pipe or a socket.
class Stream final : public QIODevice {
  public:
    explicit Stream(const QByteArray& bytes) : bytes_(bytes) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return bytes_.size() - at_ + QIODevice::bytesAvailable();
    }

  protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = std::min<qint64>(max, bytes_.size() - at_);
        std::memcpy(data, bytes_.constData() + at_, static_cast<std::size_t>(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char* /*data*/, qint64 /*length*/) override { return -1; }

  private:
    QByteArray bytes_;
    qint64 at_ = 0;
};

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void readOnce(QIODevice* device, QSize scaled) {
    vrs::plugin::VrsImageHandler handler;
    handler.setDevice(device);
    const QSize size = handler.option(QImageIOHandler::Size).toSize();
    if (scaled.isValid()) {
        handler.setOption(QImageIOHandler::ScaledSize, scaled);
    }
    QImage image;
    if (handler.read(&image)) {
        // A picture read whole has the size the header gave.
        check(!image.isNull() && image.format() == QImage::Format_RGB32);
        check(scaled.isValid() ? image.size() == scaled : image.size() == size);
        const int last = image.height() - 1;
        volatile QRgb corner = image.pixel(image.width() - 1, last);
        (void)corner;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    qputenv("QT_LOGGING_RULES", "vrs.imageformat=false");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    readOnce(&buffer, {});
    buffer.seek(0);
    readOnce(&buffer, QSize(1 + static_cast<int>(size % 37), 1 + static_cast<int>(size % 23)));
    Stream stream(bytes);
    readOnce(&stream, {});
    return 0;
}
