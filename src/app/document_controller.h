// SPDX-License-Identifier: MIT
// Opens files as documents, one per file, from the command line, the Open
// dialog, Open Recent and drops; raises a file's window when it is open
// already; tells when the last document has closed.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/recent_files.h"
#include "platform/host.h"
#include "platform/mapped_file.h"

class MyDocument;
class MyObject;
class QWidget;

class DocumentController : public QObject {
    Q_OBJECT

  public:
    // Asks the user for files to open; an empty list means cancelled.
    using OpenDialogFunction = std::function<QStringList(QWidget* parent)>;

    DocumentController(vrs::Host& host, MyObject& delegate, QObject* parent = nullptr);
    ~DocumentController() override;

    // At launch: opens the given files, or asks for some when there are
    // none. False when no document is open afterwards. Paths are bytes, as
    // the file system names them; the QString forms are for names Qt chose.
    bool launch(const QList<QByteArray>& files);
    bool launch(const QStringList& files);
    // The document of the file: the open one raised, or a new one. Null when
    // the file cannot be opened at all (the user has been told). With
    // `refusalInWindow`, a file that cannot be opened or read gets a window
    // of its own that says why, instead of a message box.
    MyDocument* openDocument(const QByteArray& path, bool refusalInWindow = false);
    MyDocument* openDocument(const QString& path);
    // Several files never wait on each other: the ones refused say why in
    // their own windows while the others open.
    void openFiles(const QList<QByteArray>& paths);
    void openFiles(const QStringList& paths);
    // Shows the file in the document's window instead of its picture. A file
    // open in another window raises that window instead; a file that cannot
    // be opened (the user has been told) leaves the window as it was. True
    // when the document shows the file.
    bool openInPlace(MyDocument& document, const QByteArray& path);
    bool openInPlace(MyDocument& document, const QString& path);
    void runOpenDialog(QWidget* parent);
    // Compares the document's picture with the file's in its window (View >
    // Compare With…, a file dropped with Shift held, --compare). A file that
    // cannot be opened or decoded (the user has been told) leaves the window
    // as it was. True when the window compares.
    bool compareWith(MyDocument& document, const QByteArray& path);
    // At launch with --compare: opens `a` and compares it with `b`. False
    // when `a` could not be opened.
    bool launchComparison(const QByteArray& a, const QByteArray& b);
    void closeDocument(MyDocument* document);
    void closeAll();

    void setOpenDialog(OpenDialogFunction openDialog);
    const std::vector<MyDocument*>& documents() const { return documents_; }
    // The file of every open document.
    QList<QByteArray> openFilePaths() const;
    RecentFiles& recentFiles() { return recent_; }

  signals:
    void lastDocumentClosed();

  private:
    // Maps the file; `canonical` gets its canonical path (empty when it does
    // not exist), `failure` the words for a file that cannot be mapped.
    bool mapFile(const QByteArray& path, vrs::MappedFile* file, QByteArray* canonical,
                 QString* failure);
    // The same, telling the user of a file that cannot be mapped.
    bool mapOrTell(const QByteArray& path, vrs::MappedFile* file, QByteArray* canonical);
    // Builds, registers and shows the window of a new document.
    MyDocument* showDocument(MyDocument* document);
    MyDocument* documentForPath(const QByteArray& canonicalPath) const;
    void documentWindowClosed(MyDocument* document);

    vrs::Host& host_;
    MyObject& delegate_;
    RecentFiles recent_;
    OpenDialogFunction openDialog_;
    std::vector<MyDocument*> documents_;
};
