// SPDX-License-Identifier: MIT
#include "vrs_image_plugin.h"

#include "vrs_image_handler.h"

namespace vrs::plugin {

QImageIOPlugin::Capabilities VrsImagePlugin::capabilities(QIODevice* device,
                                                          const QByteArray& format) const {
    if (format == "vrs") {
        return CanRead;
    }
    if (!format.isEmpty() || device == nullptr || !device->isReadable()) {
        return {};
    }
    return VrsImageHandler::canRead(device) ? Capabilities(CanRead) : Capabilities();
}

QImageIOHandler* VrsImagePlugin::create(QIODevice* device, const QByteArray& format) const {
    auto* handler = new VrsImageHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("vrs") : format);
    return handler;
}

}  // namespace vrs::plugin
