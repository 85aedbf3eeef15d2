// SPDX-License-Identifier: MIT
// The short list of recently opened files, newest first, kept in QSettings.
// Paths are bytes, as the file system names them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

class QFontMetrics;

class RecentFiles {
  public:
    static constexpr int kMaxCount = 8;

    // Files that no longer exist are dropped from the list returned.
    QList<QByteArray> files() const;
    void add(const QByteArray& path);
    void clear();
};

// The Open Recent menu's texts for `paths`, in order: each file's name as a
// file manager shows it, followed by its folder where another path of the
// list has the same name; elided in the middle to `width` pixels of
// `metrics`; an "&" doubled, so that it is shown rather than taken as a
// shortcut mark.
QStringList recentMenuTexts(const QList<QByteArray>& paths, const QFontMetrics& metrics, int width);
