// SPDX-License-Identifier: MIT
// The short list of recently opened files, newest first, kept in QSettings.
// Paths are bytes, as the file system names them. A file added is in the
// list at once, and in the settings once saved.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

class QFontMetrics;

class RecentFiles {
  public:
    static constexpr int kMaxCount = 8;

    RecentFiles() = default;
    RecentFiles(const RecentFiles&) = delete;
    RecentFiles& operator=(const RecentFiles&) = delete;
    // Saves what is still unsaved.
    ~RecentFiles();

    // Files that no longer exist are dropped from the list returned.
    QList<QByteArray> files() const;
    // Puts the file first; the settings get it from save(), which a file
    // opened at launch leaves until its window is on the screen.
    void add(const QByteArray& path);
    // Writes the files added since the last save to the settings, before
    // the ones other viewers may have written there meanwhile.
    void save();
    void clear();

  private:
    QList<QByteArray> unsaved_;  // newest first
};

// The Open Recent menu's texts for `paths`, in order: each file's name as a
// file manager shows it, followed by its folder where another path of the
// list has the same name; elided in the middle to `width` pixels of
// `metrics`; an "&" doubled, so that it is shown rather than taken as a
// shortcut mark.
QStringList recentMenuTexts(const QList<QByteArray>& paths, const QFontMetrics& metrics, int width);
