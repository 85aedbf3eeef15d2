// SPDX-License-Identifier: MIT
// The program's own PNG resources (icons, cursors), read as PNG: QPixmap,
// QIcon::addFile or a reader left to guess the format load every image
// format plugin of the system first, a few milliseconds before the window.
#pragma once

#include <QImage>
#include <QString>

// The PNG picture at `path` (a resource path), or a null image.
QImage readPngResource(const QString& path);
