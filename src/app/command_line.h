// SPDX-License-Identifier: MIT
// The viewer's command line: files or file:// URLs to open, --help and
// --version, and the options Qt's own platform layer takes (passed through).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CommandLine {
    // True when the run ends here (help or version shown, or a usage error)
    // with `status`.
    bool done = false;
    int status = 0;
    // What to print, and whether it goes to standard error.
    QString output;
    bool toStandardError = false;
    // Local paths of the files to open, in order, as bytes.
    QList<QByteArray> files;
    // --compare: the two files are compared in one window.
    bool compare = false;
};

// Parses the arguments (the program name first). `raw` holds the same
// arguments as the bytes the process was given, so that a file name that
// is not UTF-8 reaches the file system unchanged; empty, the arguments are
// taken as they are. Needs a QCoreApplication only for the translations of
// its texts.
CommandLine parseCommandLine(const QStringList& arguments, const QList<QByteArray>& raw = {});

// A path for an argument: a file:// URL becomes its local path (its escapes
// decoded as bytes), anything else is taken as a path as it stands.
QByteArray localPathOfArgument(const QByteArray& argument);
