// SPDX-License-Identifier: MIT
// The short list of recently opened files, newest first, kept in QSettings.
#pragma once

#include <QStringList>

class RecentFiles {
  public:
    static constexpr int kMaxCount = 8;

    // Files that no longer exist are dropped from the list returned.
    QStringList files() const;
    void add(const QString& path);
    void clear();
};
