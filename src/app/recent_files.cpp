// SPDX-License-Identifier: MIT
#include "app/recent_files.h"

#include <sys/stat.h>

#include <QFile>
#include <QFontMetrics>
#include <QSettings>
#include <QVariant>
#include <algorithm>

#include "app/local_path.h"

namespace {

const char* const kKey = "recentFiles";

QList<QByteArray> stored(const QSettings& settings) {
    QList<QByteArray> paths;
    // Lists kept as text by earlier versions read back as their UTF-8 bytes.
    for (const QVariant& path : settings.value(kKey).toList()) {
        paths.append(path.toByteArray());
    }
    return paths;
}

// The files `added` (newest first) before the `stored` ones, each once.
QList<QByteArray> merged(const QList<QByteArray>& added, QList<QByteArray> stored) {
    for (auto it = added.rbegin(); it != added.rend(); ++it) {
        stored.removeAll(*it);
        stored.prepend(*it);
    }
    while (stored.size() > RecentFiles::kMaxCount) {
        stored.removeLast();
    }
    return stored;
}

bool isFile(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

RecentFiles::~RecentFiles() {
    save();
}

QList<QByteArray> RecentFiles::files() const {
    QList<QByteArray> result;
    for (const QByteArray& path : merged(unsaved_, stored(QSettings()))) {
        if (isFile(path)) {
            result.append(path);
        }
    }
    return result;
}

void RecentFiles::add(const QByteArray& path) {
    unsaved_ = merged({path}, unsaved_);
}

void RecentFiles::save() {
    if (unsaved_.isEmpty()) {
        return;
    }
    QSettings settings;
    const QList<QByteArray> list = merged(unsaved_, stored(settings));
    unsaved_.clear();
    QVariantList values;
    for (const QByteArray& p : list) {
        values.append(QVariant(p));
    }
    settings.setValue(kKey, values);
}

void RecentFiles::clear() {
    unsaved_.clear();
    QSettings().remove(kKey);
}

QStringList recentMenuTexts(const QList<QByteArray>& paths, const QFontMetrics& metrics,
                            int width) {
    QStringList texts;
    for (const QByteArray& path : paths) {
        const QByteArray name = fileNameOf(path);
        QString text = displayName(name);
        const bool repeated = std::count_if(paths.begin(), paths.end(), [&](const QByteArray& p) {
                                  return fileNameOf(p) == name;
                              }) > 1;
        if (repeated) {
            text += QStringLiteral(" \u2014 ") + displayName(folderOf(path));
        }
        text = metrics.elidedText(text, Qt::ElideMiddle, width);
        texts.append(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
    return texts;
}
