// SPDX-License-Identifier: MIT
#include "app/my_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QSettings>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "app/error_text.h"
#include "app/local_path.h"
#include "app/recording_host.h"
#include "app/startup_trace.h"
#include "app/status_line.h"
#include "ui_MyDocument.h"

namespace {

int truncatedToInt(double v) {
    if (!(v == v)) {
        return 0;
    }
    const double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(v), -limit - 1, limit));
}

const char* const kKeepZoomKey = "view/keepZoomAcrossFiles";

bool showPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool sameSize(const std::shared_ptr<vrs::Image>& a, const std::shared_ptr<vrs::Image>& b) {
    return a && b && a->size().width == b->size().width && a->size().height == b->size().height;
}

QString sizeLine(double width, double height) {
    // The line's own fixed text, printf's "%0.1f" in the C locale whatever the
    // user's locale: a point before the decimal.
    char size[64];
    const auto [end, error] =
        std::to_chars(size, size + sizeof size, width * height * 4 * 0.00000095367431640625,
                      std::chars_format::fixed, 1);
    const QString sizeText =
        error == std::errc{} ? QString::fromLatin1(size, end - size) : QStringLiteral("?");
    return MyDocument::tr("pixel X=%1 Y=%2 Size=%3M")
        .arg(truncatedToInt(width))
        .arg(truncatedToInt(height))
        .arg(sizeText);
}

MyDocument::MyDocument(vrs::Host& host, QObject* parent)
    : QObject(parent),
      host_(host),
      printDialog_(showPrintDialog),
      export_(host),
      reload_(host),
      compare_(host) {
    // The file changing on the disk while the picture shown is exported is
    // read again once the export ends.
    connect(&export_, &ExportSession::exporting, &reload_, &FileReload::setHeld);
    connect(&reload_, &FileReload::noteChanged, this, &MyDocument::showSizeLine);
    connect(&reload_, &FileReload::pictureRead, this, [this](const DecodedFile& file) {
        refusal_.clear();
        showPicture(filePath_, file, sameSize(file.full, myimage));
    });
    connect(&compare_, &CompareMode::changed, this, [this] {
        showTitle();
        showSizeLine();
    });
}

MyDocument::~MyDocument() {
    // The view's drawing thread may still be cutting from the full image:
    // end the view's wait before the images go.
    if (mView) {
        mView->stopThread();
    }
    myimage.reset();
    myViewImage.reset();
}

bool MyDocument::loadDataRepresentation(const std::uint8_t* bytes, std::size_t length,
                                        const QString& /*type*/, int fd) {
    RecordingHost quiet(host_);
    vrs::Host& host = refusalInWindow_ ? static_cast<vrs::Host&>(quiet) : host_;
    DecodedFile file = decode(filePath_, bytes, length, fd, host);
    myimage = std::move(file.full);
    myViewImage = std::move(file.view);
    progress = file.progress;
    fiveBit_ = file.fiveBit();
    if (file.refused()) {
        const QString reason = ErrorText::loadRefusal(file.refusal, displayName());
        if (refusalInWindow_) {
            refusal_ = reason;
        } else {
            host_.alert(reason.toStdString());
        }
    } else if (!quiet.messages().empty()) {
        refusal_ = QString::fromStdString(quiet.messages().back());
    }
    return true;
}

void MyDocument::setSourceCheck(SourceCheck check) {
    sourceCheck_ = std::move(check);
}

DecodedFile MyDocument::decode(const QByteArray& path, const std::uint8_t* bytes,
                               std::size_t length, int fd, vrs::Host& host) {
    const QString name = path.isEmpty() ? tr("Untitled") : ::displayName(fileNameOf(path));
    return decodeFile(bytes, length, fd, host, name, std::exchange(sourceCheck_, SourceCheck()));
}

void MyDocument::makeWindowControllers() {
    if (window_) {
        return;
    }
    window_ = std::make_unique<DocumentWindow>();
    auto* form = new QWidget;
    Ui::MyDocument layout;
    layout.setupUi(form);
    mView = layout.mView;
    mySizeText = layout.mySizeText;
    optionView = layout.optionView;
    optionView->hide();  // shown only inside the export panel
    // The size line may be cut short: F3 fits the window to small pictures too.
    mySizeText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    export_.setOptionView(optionView, [this](QObject* sender) { myAction(sender); });
    window_->setCentralWidget(form);
    window_->setParts(mView, mySizeText);
    compare_.setParts(
        mView, window_.get(),
        window_->statusLine() != nullptr ? window_->statusLine()->inspector() : nullptr);
    window_->setWindowTitle(displayName());
    if (!filePath_.isEmpty()) {
        window_->setWindowFilePath(QFile::decodeName(filePath_));
    }
    mView->loadCursors();
    showImages();
}

void MyDocument::showImages() {
    if (!myimage) {
        if (mySizeText && !refusal_.isEmpty()) {
            mySizeText->setWordWrap(true);
            mySizeText->setText(refusal_);
        }
        return;
    }
    if (mView) {
        mView->setFiveBitChannels(fiveBit_);
        mView->setImage(myViewImage);
        mView->setBigImage(myimage);
    }
    if (mySizeText) {
        mySizeText->setText(sizeLine(myimage->size().width, myimage->size().height));
    }
}

void MyDocument::showWindows() {
    if (!window_) {
        return;
    }
    if (myViewImage) {
        window_->sizeToImage(myViewImage->size().width, myViewImage->size().height);
    } else {
        window_->sizeToImage(0, 0);
    }
    traceFirstPaint(mView);
    raiseWindow();
}

void MyDocument::raiseWindow() {
    if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
}

bool MyDocument::openInPlace(const QByteArray& path, const std::uint8_t* bytes, std::size_t length,
                             int fd) {
    DecodedFile file = decode(path, bytes, length, fd, host_);
    if (file.refused()) {
        host_.alert(
            ErrorText::loadRefusal(file.refusal, ::displayName(fileNameOf(path))).toStdString());
    }
    if (!file.full) {
        return false;
    }
    const bool keepRegion = keepZoomAcrossFiles() && sameSize(file.full, myimage);
    showPicture(path, std::move(file), keepRegion);
    return true;
}

bool MyDocument::compareWith(const QByteArray& path, const std::uint8_t* bytes, std::size_t length,
                             int fd) {
    DecodedFile file = decode(path, bytes, length, fd, host_);
    const QString name = ::displayName(fileNameOf(path));
    if (file.refused()) {
        host_.alert(ErrorText::loadRefusal(file.refusal, name).toStdString());
    }
    if (!file.full || !myimage) {
        return false;
    }
    compare_.start(picture(), {file.full, file.view, file.fiveBit(), name});
    return true;
}

CompareMode::Picture MyDocument::picture() const {
    return {myimage, myViewImage, fiveBit_, displayName()};
}

bool MyDocument::keepZoomAcrossFiles() {
    return QSettings().value(QLatin1String(kKeepZoomKey), true).toBool();
}

void MyDocument::setKeepZoomAcrossFiles(bool keep) {
    QSettings().setValue(QLatin1String(kKeepZoomKey), keep);
}

void MyDocument::showPicture(const QByteArray& path, DecodedFile file, bool keepRegion) {
    if (mView) {
        mView->stopThread();
    }
    myimage = std::move(file.full);
    myViewImage = std::move(file.view);
    progress = file.progress;
    fiveBit_ = file.fiveBit();
    setFilePath(path);
    if (window_) {
        window_->setWindowTitle(displayName());
        window_->setWindowFilePath(QFile::decodeName(filePath_));
        window_->setPictureCommandsEnabled(true);
    }
    showImages();
    // Without keepRegion the whole new picture is shown; with it the region
    // shown stays (a picture of the same size).
    if (mView && !keepRegion) {
        mView->showWholePicture();
    }
    compare_.setA(picture());
}

void MyDocument::showTitle() {
    if (window_) {
        window_->setWindowTitle(compare_.active() ? compare_.title() : displayName());
    }
}

void MyDocument::showSizeLine() {
    if (!mySizeText) {
        return;
    }
    QString text = compare_.active() ? compare_.sizeLine()
                   : myimage         ? sizeLine(myimage->size().width, myimage->size().height)
                                     : refusal_;
    if (const QString& note = reload_.note(); !note.isEmpty()) {
        text = text.isEmpty() ? note : text + QStringLiteral("   ") + note;
    }
    mySizeText->setText(text);
}

std::unique_ptr<PrintOperation> MyDocument::printOperationWithSettings() {
    auto operation = std::make_unique<PrintOperation>();
    operation->view = mView;
    operation->printer.setDocName(displayName());
    if (!filePath_.isEmpty()) {
        // "Print to file" proposes a PDF beside the picture; a printer stays
        // the choice where there is one.
        const QFileInfo file(QFile::decodeName(filePath_));
        operation->printer.setOutputFileName(
            file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf")));
        operation->printer.setOutputFormat(QPrinter::NativeFormat);
    }
    return operation;
}

void MyDocument::runModalPrintOperation(PrintOperation& operation) {
    bool printed = false;
    if (printDialog_(operation.printer, window_.get()) && operation.view) {
        printed = runPrintPass(*operation.view, operation.printer);
    }
    documentDidRunModalPrintOperation(printed);
}

void MyDocument::documentDidRunModalPrintOperation(bool /*didRun*/) {
    if (mView) {
        mView->display();
    }
}

void MyDocument::printDocument() {
    const std::unique_ptr<PrintOperation> operation = printOperationWithSettings();
    runModalPrintOperation(*operation);
}

void MyDocument::setPrintDialog(PrintDialogFunction printDialog) {
    printDialog_ = printDialog ? std::move(printDialog) : PrintDialogFunction(showPrintDialog);
}

void MyDocument::setFilePath(const QByteArray& path) {
    filePath_ = path;
    reload_.setFile(path, displayName());
}

QString MyDocument::displayName() const {
    return filePath_.isEmpty() ? tr("Untitled") : ::displayName(fileNameOf(filePath_));
}

void MyDocument::saveDocument(QObject* /*sender*/) {
    save_convert();
}

void MyDocument::saveDocumentAs(QObject* sender) {
    saveDocument(sender);
}

void MyDocument::save_convert() {
    if (!myimage) {
        return;
    }
    const QByteArray folder = filePath_.isEmpty() ? QByteArray() : folderOf(filePath_);
    export_.openPanel(window_.get(), displayName(), folder, [this](QFileDialog* panel, int result) {
        savePanelDidEnd(panel, result, nullptr);
    });
}

void MyDocument::myAction(QObject* sender) {
    export_.pickFormat(sender);
}

void MyDocument::savePanelDidEnd(QFileDialog* /*panel*/, int returnCode, void* /*contextInfo*/) {
    const QString path = export_.closePanel();
    if (returnCode != QDialog::Accepted || path.isEmpty() || !myimage) {
        return;
    }
    QList<QByteArray> open = openFiles_ ? openFiles_() : QList<QByteArray>();
    if (!filePath_.isEmpty()) {
        open.append(filePath_);
    }
    export_.write(myimage, progress, path, open);
}

void MyDocument::setOpenFiles(OpenFilesFunction openFiles) {
    openFiles_ = std::move(openFiles);
}
