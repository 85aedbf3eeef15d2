// SPDX-License-Identifier: MIT
#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const char* const kKey = "recentFiles";
}

QStringList RecentFiles::files() const {
    QStringList result;
    const QStringList stored = QSettings().value(kKey).toStringList();
    for (const QString& path : stored) {
        if (QFileInfo(path).isFile()) {
            result.append(path);
        }
    }
    return result;
}

void RecentFiles::add(const QString& path) {
    QSettings settings;
    QStringList list = settings.value(kKey).toStringList();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kMaxCount) {
        list.removeLast();
    }
    settings.setValue(kKey, list);
}

void RecentFiles::clear() {
    QSettings().remove(kKey);
}
