// SPDX-License-Identifier: MIT
// Paths as the file system holds them: bytes, in whatever encoding they were
// made (or none). They are kept as bytes from the command line, a URL or a
// folder listing to the open() call, and decoded only to be shown.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "platform/output_target.h"

// The canonical path (links and "." and ".." resolved), or empty when the
// file does not exist or cannot be reached.
QByteArray canonicalPath(const QByteArray& path);
// The path made absolute against the working folder, without resolving links.
QByteArray absolutePath(const QByteArray& path);
// The last part of a path ("shot.vrs" of "/a/shot.vrs"), and the rest ("/a"),
// as the core finds the folder of an output path.
QByteArray fileNameOf(const QByteArray& path);
inline QByteArray folderOf(const QByteArray& path) {
    return QByteArray::fromStdString(vrs::folderOf(path.toStdString()));
}
// A name as a file manager shows it: bytes that are not UTF-8 become U+FFFD,
// line breaks and other control characters become spaces.
QString displayName(const QByteArray& bytes);
// The bytes of a local file URL's path (its percent-escapes decoded as bytes,
// so "%FF" stays the byte 0xFF); empty when the URL is not a local file.
QByteArray localPathOfUrl(const QUrl& url);
// The bytes of a path shown by Qt (a path a Qt dialog chose).
QByteArray pathOfQString(const QString& path);
