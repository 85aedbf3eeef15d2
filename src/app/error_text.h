// SPDX-License-Identifier: MIT
// The viewer's words for what went wrong, translated (context "ErrorText"):
// files that cannot be opened, files the loader refuses, exports that fail.
// The core hands over causes and figures; this is the one place in the
// viewer that words them. Every message about a file names it.
#pragma once

#include <QCoreApplication>
#include <QString>

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

  private:
    static QString loadReason(const vrs::VirtualScreenInfo& info);
    static QString writeReason(const vrs::ExportResult& result);
};
