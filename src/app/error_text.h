// SPDX-License-Identifier: MIT
// The viewer's words for what went wrong, translated (context "ErrorText"):
// files that cannot be opened, files the loader refuses (their causes worded
// by the core's catalogue, vrscreen/load_error.h, and translated here in its
// context, "LoadRefusal"), exports that fail. Every message about a file
// names it.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>

#include "export/export_error.h"
#include "vrscreen/loader.h"

class ErrorText {
    Q_DECLARE_TR_FUNCTIONS(ErrorText)

  public:
    // `error` as MappedFile gives it: an errno, EISDIR or kNotRegularFile.
    static QString openFailure(const QString& name, int error);
    // A refusal of the loader (info.error is not None), with its figures.
    static QString loadRefusal(const vrs::VirtualScreenInfo& info, const QString& name);
    // A failed export (result.ok() is false).
    static QString exportFailure(const vrs::ExportResult& result);
    // A save refused because `name` is the open file `openName`, by that
    // name, a hard link or a symbolic link.
    static QString writeOntoOpenFile(const QString& name, const QString& openName);
    // A URL that names no file of this computer (another host's, http://).
    static QString notLocalFile(const QString& url);
    // The decoder's own words for memory it could not have (`decoderText`,
    // such as "MakeNewImageRep is nil"), and what they mean for the file.
    static QString noMemoryForPicture(const QString& decoderText, const QString& name,
                                      std::int64_t width, std::int64_t height);

  private:
    static QString writeReason(const vrs::ExportResult& result);
};
