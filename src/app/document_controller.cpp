// SPDX-License-Identifier: MIT
#include "app/document_controller.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

#include "app/after_first_paint.h"
#include "app/app_menus.h"
#include "app/busy_step.h"
#include "app/error_text.h"
#include "app/local_path.h"
#include "app/my_document.h"
#include "app/my_object.h"
#include "app/startup_trace.h"
#include "platform/mapped_file.h"

namespace {

QStringList askForFiles(QWidget* parent) {
    const QString filters = DocumentController::tr("Virtual screen files (*.vrs)") +
                            QStringLiteral(";;") + DocumentController::tr("All files (*)");
    // Starts in the folder of the window's document.
    const QString path = parent != nullptr ? parent->window()->windowFilePath() : QString();
    // A folder whose name is not UTF-8 cannot be shown by the dialog; it
    // starts in the working folder then.
    const QString folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    return QFileDialog::getOpenFileNames(parent, DocumentController::tr("Open"), folder, filters);
}

// "scheme://...": a URL the command line or a drop did not turn into a local
// path, so one of another computer (file://otherhost/...) or of the web.
bool namesUrl(const QByteArray& path) {
    static const QRegularExpression url(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return url.match(QString::fromLatin1(path)).hasMatch();
}

}  // namespace

DocumentController::DocumentController(vrs::Host& host, MyObject& delegate, QObject* parent)
    : QObject(parent), host_(host), delegate_(delegate), openDialog_(askForFiles) {}

DocumentController::~DocumentController() {
    for (MyDocument* document : documents_) {
        delete document;
    }
}

namespace {

QList<QByteArray> pathsOf(const QStringList& paths) {
    QList<QByteArray> bytes;
    for (const QString& path : paths) {
        bytes.append(pathOfQString(path));
    }
    return bytes;
}

}  // namespace

bool DocumentController::launch(const QList<QByteArray>& files) {
    if (files.isEmpty()) {
        openFiles(openDialog_(nullptr));
    } else {
        openFiles(files);
    }
    // No untitled document stands in for a launch that opened nothing.
    return !documents_.empty() || delegate_.applicationShouldOpenUntitledFile(nullptr);
}

bool DocumentController::launch(const QStringList& files) {
    return launch(pathsOf(files));
}

void DocumentController::openFiles(const QList<QByteArray>& paths) {
    const bool several = paths.size() > 1;
    for (const QByteArray& path : paths) {
        openDocument(path, several);
    }
}

void DocumentController::openFiles(const QStringList& paths) {
    openFiles(pathsOf(paths));
}

void DocumentController::runOpenDialog(QWidget* parent) {
    openFiles(openDialog_(parent));
}

bool DocumentController::mapFile(const QByteArray& path, vrs::MappedFile* file,
                                 QByteArray* canonical, QString* failure) {
    *canonical = canonicalPath(path);
    if (!file->open((canonical->isEmpty() ? path : *canonical).toStdString())) {
        if (file->error() == ENOENT && namesUrl(path)) {
            *failure = ErrorText::notLocalFile(displayName(path));
            return false;
        }
        const QByteArray name = fileNameOf(path);
        *failure = ErrorText::openFailure(displayName(name.isEmpty() ? path : name), file->error());
        return false;
    }
    return true;
}

MyDocument* DocumentController::openDocument(const QString& path) {
    return openDocument(pathOfQString(path));
}

MyDocument* DocumentController::openDocument(const QByteArray& path, bool refusalInWindow) {
    // The file is mapped first, also when its window is open already, so that
    // a file that has gone or cannot be read is told the same way either way.
    vrs::MappedFile file;
    QByteArray canonical;
    QString failure;
    if (!mapFile(path, &file, &canonical, &failure)) {
        if (!refusalInWindow) {
            host_.alert(failure.toStdString());
            return nullptr;
        }
        auto* refused = new MyDocument(host_);
        refused->setFilePath(absolutePath(path));
        refused->setRefusal(failure);
        return showDocument(refused);
    }
    if (MyDocument* open = documentForPath(canonical)) {
        open->raiseWindow();
        return open;
    }
    auto* document = new MyDocument(host_);
    document->setFilePath(canonical);
    document->setOpenFiles([this] { return openFilePaths(); });
    document->setSourceCheck(unchangedCheck(canonical, file.stamp()));
    document->setRefusalInWindow(refusalInWindow);
    {
        // Busy while decoding only: a window made under the busy cursor would
        // load that cursor from the theme, then be given its own.
        const BusyStep busy;
        traceStep("decode begins");
        document->loadDataRepresentation(file.data(), file.size(), QStringLiteral("vrs"),
                                         file.fd());
    }
    traceStep("file decoded");
    recent_.add(canonical);
    return showDocument(document);
}

MyDocument* DocumentController::showDocument(MyDocument* document) {
    document->makeWindowControllers();
    traceStep("window made");
    documents_.push_back(document);

    DocumentWindow* window = document->window();
    buildDocumentMenus(*window, *this, *document);
    connect(window, &DocumentWindow::filesDropped, this,
            qOverload<const QList<QByteArray>&>(&DocumentController::openFiles));
    connect(window, &DocumentWindow::compareDropped, this,
            [this, document](const QByteArray& path) { compareWith(*document, path); });
    connect(window, &DocumentWindow::closed, this,
            [this, document] { documentWindowClosed(document); });
    document->showWindows();
    traceStep("window shown");
    // The settings file is written once the window is on the screen.
    afterFirstPaint(window, this, [this] { recent_.save(); });
    return document;
}

bool DocumentController::openInPlace(MyDocument& document, const QString& path) {
    return openInPlace(document, pathOfQString(path));
}

bool DocumentController::mapOrTell(const QByteArray& path, vrs::MappedFile* file,
                                   QByteArray* canonical) {
    QString failure;
    if (!mapFile(path, file, canonical, &failure)) {
        host_.alert(failure.toStdString());
        return false;
    }
    return true;
}

bool DocumentController::openInPlace(MyDocument& document, const QByteArray& path) {
    vrs::MappedFile file;
    QByteArray canonical;
    if (!mapOrTell(path, &file, &canonical)) {
        return false;
    }
    if (MyDocument* open = documentForPath(canonical)) {
        if (open != &document) {
            open->raiseWindow();
        }
        return open == &document;
    }
    const BusyStep busy;
    document.setSourceCheck(unchangedCheck(canonical, file.stamp()));
    if (!document.openInPlace(canonical, file.data(), file.size(), file.fd())) {
        return false;
    }
    recent_.add(canonical);
    recent_.save();
    return true;
}

bool DocumentController::compareWith(MyDocument& document, const QByteArray& path) {
    vrs::MappedFile file;
    QByteArray canonical;
    if (!mapOrTell(path, &file, &canonical)) {
        return false;
    }
    const BusyStep busy;
    const QByteArray& name = canonical.isEmpty() ? path : canonical;
    document.setSourceCheck(unchangedCheck(name, file.stamp()));
    return document.compareWith(name, file.data(), file.size(), file.fd());
}

bool DocumentController::launchComparison(const QByteArray& a, const QByteArray& b) {
    MyDocument* document = openDocument(a);
    if (document == nullptr) {
        return false;
    }
    compareWith(*document, b);
    return true;
}

QList<QByteArray> DocumentController::openFilePaths() const {
    QList<QByteArray> paths;
    for (const MyDocument* document : documents_) {
        if (!document->filePath().isEmpty()) {
            paths.append(document->filePath());
        }
    }
    return paths;
}

MyDocument* DocumentController::documentForPath(const QByteArray& canonicalPath) const {
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](MyDocument* d) { return d->filePath() == canonicalPath; });
    return it == documents_.end() ? nullptr : *it;
}

void DocumentController::closeDocument(MyDocument* document) {
    if (document != nullptr && document->window() != nullptr) {
        document->window()->close();
    }
}

void DocumentController::closeAll() {
    const std::vector<MyDocument*> open = documents_;
    for (MyDocument* document : open) {
        closeDocument(document);
    }
}

void DocumentController::documentWindowClosed(MyDocument* document) {
    const auto it = std::find(documents_.begin(), documents_.end(), document);
    if (it == documents_.end()) {
        return;
    }
    documents_.erase(it);
    // The window is still inside its close event: let it finish first.
    document->deleteLater();
    if (documents_.empty()) {
        emit lastDocumentClosed();
    }
}

void DocumentController::setOpenDialog(OpenDialogFunction openDialog) {
    openDialog_ = openDialog ? std::move(openDialog) : OpenDialogFunction(askForFiles);
}
