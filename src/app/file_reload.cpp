// SPDX-License-Identifier: MIT
#include "app/file_reload.h"

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>
#include <utility>

#include "app/error_text.h"
#include "app/recording_host.h"
#include "platform/mapped_file.h"

FileReload::FileReload(vrs::Host& host, QObject* parent) : QObject(parent), host_(host) {
    connect(&watch_, &FileWatch::changed, this, &FileReload::reload);
}

void FileReload::setFile(const QByteArray& path, const QString& name) {
    name_ = name;
    if (path != path_) {
        path_ = path;
        // A file that cannot be watched is still shown; it is only not
        // reloaded when it changes.
        [[maybe_unused]] const bool watched = watch_.watch(path);
    }
}

void FileReload::setHeld(bool held) {
    held_ = held;
    if (!held_ && pending_) {
        QTimer::singleShot(0, this, &FileReload::reload);
    }
}

void FileReload::reload() {
    if (held_ || reading_ || path_.isEmpty()) {
        // The export reads the picture shown: the new one waits for its end.
        pending_ = !path_.isEmpty();
        return;
    }
    reading_ = true;
    pending_ = false;
    vrs::MappedFile file;
    if (!file.open(path_.toStdString())) {
        setNote(file.error() == ENOENT
                    ? QCoreApplication::translate("MyDocument", "The file is no longer there.")
                    : ErrorText::openFailure(name_, file.error()));
        reading_ = false;
        return;
    }
    RecordingHost quiet(host_);
    const DecodedFile decoded = decodeFile(file.data(), file.size(), file.fd(), quiet, name_,
                                           unchangedCheck(path_, file.stamp()));
    if (!decoded.full) {
        // A half-written file is not shown: its last write brings another look.
        const bool writing = decoded.refusal.error == vrs::LoadError::TruncatedRows ||
                             decoded.refusal.error == vrs::LoadError::ChangedWhileRead;
        setNote(writing ? QCoreApplication::translate("MyDocument", "The file is being written.")
                        : ErrorText::loadRefusal(decoded.refusal, name_));
    } else {
        setNote({});
        emit pictureRead(decoded);
    }
    reading_ = false;
}

void FileReload::setNote(const QString& note) {
    note_ = note;
    emit noteChanged(note_);
}
