// SPDX-License-Identifier: MIT
// The "vrs" image format for every Qt program: QImageReader finds it by the
// .vrs suffix, the image/x-vrscreen type or the file's first bytes.
#pragma once

#include <QImageIOPlugin>

namespace vrs::plugin {

class VrsImagePlugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vrs.json")

  public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};

}  // namespace vrs::plugin
