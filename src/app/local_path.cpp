// SPDX-License-Identifier: MIT
#include "app/local_path.h"

#include <unistd.h>

#include <QFile>
#include <climits>
#include <cstdlib>
#include <memory>

QByteArray canonicalPath(const QByteArray& path) {
    if (path.isEmpty()) {
        return {};
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(path.constData(), nullptr), &std::free);
    return resolved ? QByteArray(resolved.get()) : QByteArray();
}

QByteArray absolutePath(const QByteArray& path) {
    if (path.startsWith('/') || path.isEmpty()) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), &std::free);
    if (!here) {
        return path;  // no working folder to name: the path as given still opens
    }
    QByteArray folder(here.get());
    if (!folder.endsWith('/')) {
        folder += '/';
    }
    return folder + path;
}

QByteArray fileNameOf(const QByteArray& path) {
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/')) {
        trimmed.chop(1);
    }
    const auto slash = trimmed.lastIndexOf('/');
    return slash < 0 ? trimmed : trimmed.mid(slash + 1);
}

QString displayName(const QByteArray& bytes) {
    QString name = QFile::decodeName(bytes);
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return name;
}

QByteArray localPathOfUrl(const QUrl& url) {
    if (!url.isValid() || !url.isLocalFile()) {
        return {};
    }
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (url.host().isEmpty()) {
        return path;
    }
    // "file://server/share": Qt's own reading of such a URL, a UNC path.
    return "//" + url.host().toUtf8() + path;
}

QByteArray pathOfQString(const QString& path) {
    return QFile::encodeName(path);
}
