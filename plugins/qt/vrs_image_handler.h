// SPDX-License-Identifier: MIT
// Reads a virtual-screen file for QImageReader, through the core's streaming
// rows: a file by offset reads on its descriptor, any other random-access
// device by its own seek and read, a sequential one read up to the bytes its
// header promises. Whole, at a scaled size, or only a clip rectangle of it
// (scaled too when both are set): its rows and columns alone are read.
// Built for Qt 6 and Qt 5 alike.
#pragma once

#include <QImageIOHandler>
#include <QRect>
#include <QSize>
#include <string>

#include "decode/file_rows.h"
#include "vrscreen/loader.h"

class QIODevice;

namespace vrs::plugin {

class VrsImageHandler final : public QImageIOHandler {
  public:
    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;
    bool supportsOption(ImageOption option) const override;

    // Whether the device's next bytes start a virtual-screen file; the
    // device's position does not move.
    static bool canRead(QIODevice* device);

  private:
    // Why a read of rows failed, each told in its own words.
    enum class Failure { None, Memory, AllocationLimit, Changed, ClipOutside };
    // The picture's size tried is left in *size, for the words of a failure.
    Failure readRows(const PixelRows& rows, QImage* image, QSize* size) const;
    static std::string failureText(Failure failure, QSize size, const VirtualScreenInfo& info);
    QSize scaledSize_;
    QRect clipRect_;
};

}  // namespace vrs::plugin
