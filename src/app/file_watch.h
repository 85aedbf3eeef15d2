// SPDX-License-Identifier: MIT
// Watches one file, by its bytes' name, for being rewritten, replaced (a new
// file renamed over it), removed or created again: through inotify on its
// folder, so that a replaced file is still seen. Bursts of changes (a file
// being written) are told once, when they have calmed.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>

class QSocketNotifier;

class FileWatch : public QObject {
    Q_OBJECT

  public:
    explicit FileWatch(QObject* parent = nullptr);
    ~FileWatch() override;

    // Watches `path` from now on instead of any file before; empty stops.
    // False when the folder cannot be watched (no more inotify watches).
    bool watch(const QByteArray& path);

  signals:
    // The file has changed, gone or come back; look at it again.
    void changed();

  private:
    void readEvents();
    void stop();

    int fd_ = -1;
    int watch_ = -1;
    QByteArray name_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer calm_;
};
