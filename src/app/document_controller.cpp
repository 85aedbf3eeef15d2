// SPDX-License-Identifier: MIT
#include "app/document_controller.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

#include "app/app_menus.h"
#include "app/busy_step.h"
#include "app/error_text.h"
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
    const QString folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    return QFileDialog::getOpenFileNames(parent, DocumentController::tr("Open"), folder, filters);
}

// "scheme://...": a URL the command line or a drop did not turn into a local
// path, so one of another computer (file://otherhost/...) or of the web.
bool namesUrl(const QString& path) {
    static const QRegularExpression url(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return url.match(path).hasMatch();
}

// True while the file at `path` is still the one mapped with `stamp`: a file
// rewritten, replaced or cut short while it was decoded is not.
std::function<bool()> unchangedCheck(const QString& path, const vrs::FileStamp& stamp) {
    return [name = QFile::encodeName(path).toStdString(), stamp] {
        vrs::FileStamp now;
        return vrs::stampPath(name, &now) && now == stamp;
    };
}

}  // namespace

DocumentController::DocumentController(vrs::Host& host, MyObject& delegate, QObject* parent)
    : QObject(parent), host_(host), delegate_(delegate), openDialog_(askForFiles) {}

DocumentController::~DocumentController() {
    for (MyDocument* document : documents_) {
        delete document;
    }
}

bool DocumentController::launch(const QStringList& files) {
    openFiles(files.isEmpty() ? openDialog_(nullptr) : files);
    // No untitled document stands in for a launch that opened nothing.
    return !documents_.empty() || delegate_.applicationShouldOpenUntitledFile(nullptr);
}

void DocumentController::openFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        openDocument(path);
    }
}

void DocumentController::runOpenDialog(QWidget* parent) {
    openFiles(openDialog_(parent));
}

bool DocumentController::mapFile(const QString& path, vrs::MappedFile* file, QString* canonical) {
    const QFileInfo info(path);
    *canonical = info.canonicalFilePath();
    if (!file->open(QFile::encodeName(canonical->isEmpty() ? path : *canonical).toStdString())) {
        if (file->error() == ENOENT && namesUrl(path)) {
            host_.alert(ErrorText::notLocalFile(path).toStdString());
            return false;
        }
        const QString name = info.fileName().isEmpty() ? path : info.fileName();
        host_.alert(ErrorText::openFailure(name, file->error()).toStdString());
        return false;
    }
    return true;
}

MyDocument* DocumentController::openDocument(const QString& path) {
    // The file is mapped first, also when its window is open already, so that
    // a file that has gone or cannot be read is told the same way either way.
    vrs::MappedFile file;
    QString canonical;
    if (!mapFile(path, &file, &canonical)) {
        return nullptr;
    }
    if (MyDocument* open = documentForPath(canonical)) {
        open->raiseWindow();
        return open;
    }
    const BusyStep busy;
    auto* document = new MyDocument(host_);
    document->setFilePath(canonical);
    document->setOpenFiles([this] { return openFilePaths(); });
    document->setSourceCheck(unchangedCheck(canonical, file.stamp()));
    document->loadDataRepresentation(file.data(), file.size(), QStringLiteral("vrs"));
    traceStep("file decoded");
    document->makeWindowControllers();
    documents_.push_back(document);
    recent_.add(canonical);

    DocumentWindow* window = document->window();
    buildDocumentMenus(*window, *this, *document);
    connect(window, &DocumentWindow::filesDropped, this, &DocumentController::openFiles);
    connect(window, &DocumentWindow::closed, this,
            [this, document] { documentWindowClosed(document); });
    document->showWindows();
    traceStep("window shown");
    return document;
}

bool DocumentController::openInPlace(MyDocument& document, const QString& path) {
    vrs::MappedFile file;
    QString canonical;
    if (!mapFile(path, &file, &canonical)) {
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
    if (!document.openInPlace(canonical, file.data(), file.size())) {
        return false;
    }
    recent_.add(canonical);
    return true;
}

QStringList DocumentController::openFilePaths() const {
    QStringList paths;
    for (const MyDocument* document : documents_) {
        if (!document->filePath().isEmpty()) {
            paths.append(document->filePath());
        }
    }
    return paths;
}

MyDocument* DocumentController::documentForPath(const QString& canonicalPath) const {
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
