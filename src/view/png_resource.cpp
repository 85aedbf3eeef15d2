// SPDX-License-Identifier: MIT
#include "view/png_resource.h"

#include <QImageReader>

QImage readPngResource(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
