// SPDX-License-Identifier: MIT
// A document's file read again when it changes on the disk, the object the
// document owns for it: it watches the file (file_watch.h), decodes it
// again (decode_file.h) and hands a complete picture to the document; a
// file being written, gone or unreadable leaves the picture shown and gives
// the words for beside the size line. While an export of the document runs,
// the new picture waits for its end.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "app/decode_file.h"
#include "app/file_watch.h"
#include "platform/host.h"

class FileReload : public QObject {
    Q_OBJECT

  public:
    explicit FileReload(vrs::Host& host, QObject* parent = nullptr);

    // The file to watch and read again, and its name as the user sees it.
    void setFile(const QByteArray& path, const QString& name);
    // Holds a reload back while an export runs; it runs once released.
    void setHeld(bool held);
    // Reads the file now, unless held or already reading.
    void reload();
    // The words beside the size line; empty when there are none.
    const QString& note() const { return note_; }

  signals:
    // The file's new, complete picture.
    void pictureRead(const DecodedFile& file);
    // The note changed.
    void noteChanged(const QString& note);

  private:
    void setNote(const QString& note);

    vrs::Host& host_;
    FileWatch watch_;
    QByteArray path_;
    QString name_;
    QString note_;
    bool held_ = false;
    bool reading_ = false;
    bool pending_ = false;
};
