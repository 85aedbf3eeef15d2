// SPDX-License-Identifier: MIT
#include "checked_qt.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "fuzz_choices.h"
#include "vrs_image_handler.h"

namespace vrs::fuzz {
namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "checked Qt read: %s\n", what);
        std::abort();
    }
}

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

// Reads once; true when it gave a picture, of the size the options make.
bool readOnce(QIODevice* device, QSize scaled, QRect clip) {
    vrs::plugin::VrsImageHandler handler;
    handler.setDevice(device);
    const QSize size = handler.option(QImageIOHandler::Size).toSize();
    if (scaled.isValid()) {
        handler.setOption(QImageIOHandler::ScaledSize, scaled);
    }
    if (clip.isValid()) {
        handler.setOption(QImageIOHandler::ClipRect, clip);
    }
    QImage image;
    if (!handler.read(&image)) {
        return false;
    }
    check(!image.isNull() && image.format() == QImage::Format_RGB32, "a picture of another kind");
    const QRect part = clip.isValid() ? clip & QRect(QPoint(0, 0), size) : QRect({0, 0}, size);
    check(image.size() == (scaled.isValid() ? scaled : part.size()), "a picture of another size");
    volatile QRgb corner = image.pixel(image.width() - 1, image.height() - 1);
    (void)corner;
    return true;
}

// A size of 1 to `largest` pixels a side, within the harness's cap.
QSize drawnSize(Choices& choices, int largest) {
    const int w = 1 + static_cast<int>(choices.below(static_cast<std::uint64_t>(largest)));
    const int most = static_cast<int>(kLargestAskedPixels / w);
    const int h = 1 + static_cast<int>(choices.below(
                          static_cast<std::uint64_t>(std::min(largest, std::max(1, most)))));
    return {w, h};
}

}  // namespace

bool checkedQtRead(const std::uint8_t* data, std::size_t size) {
    Choices choices(data, size);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const bool whole = readOnce(&buffer, {}, {});
    buffer.seek(0);
    static constexpr int kSides[] = {1, 16, 256, 2048};
    const QSize scaled = drawnSize(choices, kSides[choices.below(std::size(kSides))]);
    check(!readOnce(&buffer, scaled, {}) || whole, "a scaled read of a refused file");
    buffer.seek(0);
    const QSize corner = drawnSize(choices, 64);
    const QRect clip(
        QPoint(static_cast<int>(choices.below(64)), static_cast<int>(choices.below(64))), corner);
    const QSize clipScaled = choices.below(2) == 0 ? QSize() : drawnSize(choices, 64);
    check(!readOnce(&buffer, clipScaled, clip) || whole, "a clipped read of a refused file");
    Stream stream(bytes);
    check(readOnce(&stream, {}, {}) == whole, "a stream read and a whole read disagree");
    return whole;
}

}  // namespace vrs::fuzz
