// SPDX-License-Identifier: MIT
#include "app/file_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "app/local_path.h"

namespace {

// A change is told once nothing more has happened for this long.
constexpr int kCalmMs = 150;

constexpr std::uint32_t kEvents =
    IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

}  // namespace

FileWatch::FileWatch(QObject* parent) : QObject(parent) {
    calm_.setSingleShot(true);
    calm_.setInterval(kCalmMs);
    connect(&calm_, &QTimer::timeout, this, &FileWatch::changed);
}

FileWatch::~FileWatch() {
    stop();
}

void FileWatch::stop() {
    calm_.stop();
    notifier_.reset();
    if (fd_ >= 0) {
        // Closing the descriptor removes its watches; nothing is left to report.
        [[maybe_unused]] const int closed = ::close(fd_);
    }
    fd_ = -1;
    watch_ = -1;
    name_.clear();
}

bool FileWatch::watch(const QByteArray& path) {
    stop();
    if (path.isEmpty()) {
        return true;
    }
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    watch_ = ::inotify_add_watch(fd_, folderOf(path).constData(), kEvents);
    if (watch_ < 0) {
        stop();
        return false;
    }
    name_ = fileNameOf(path);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &FileWatch::readEvents);
    return true;
}

void FileWatch::readEvents() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;  // EAGAIN: all read
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                (event->len > 0 && name_ == QByteArray(event->name))) {
                calm_.start();
            }
        }
    }
}
