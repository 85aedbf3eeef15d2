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

#include "app/decode_host.h"
#include "app/error_text.h"
#include "app/local_path.h"
#include "app/recording_host.h"
#include "app/startup_trace.h"
#include "ui_MyDocument.h"
#include "vrscreen/loader.h"

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
    : QObject(parent), host_(host), printDialog_(showPrintDialog) {
    connect(&watch_, &FileWatch::changed, this, &MyDocument::reloadFromDisk);
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
    progress = 1;
    vrs::VirtualScreenInfo refusal;
    RecordingHost quiet(host_);
    vrs::Host& host = refusalInWindow_ ? static_cast<vrs::Host&>(quiet) : host_;
    DecodeHost decodeHost(host, displayName(), bytes, length);
    myimage =
        vrs::loadVirtualScreen(bytes, length, &myViewImage, &progress, decodeHost, &refusal, fd);
    fiveBit_ = refusal.layout.depth == 16;
    if (refusal.error == vrs::LoadError::None && sourceChanged()) {
        refusal.error = vrs::LoadError::ChangedWhileRead;
        myimage.reset();
        myViewImage.reset();
    }
    if (refusal.error != vrs::LoadError::None) {
        const QString reason = ErrorText::loadRefusal(refusal, displayName());
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

bool MyDocument::sourceChanged() {
    const SourceCheck check = std::exchange(sourceCheck_, SourceCheck());
    return check && !check();
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
    connectOptionView();
    window_->setCentralWidget(form);
    window_->setParts(mView, mySizeText);
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
    std::shared_ptr<vrs::Image> viewImage;
    std::int64_t count = 1;
    vrs::VirtualScreenInfo refusal;
    DecodeHost decodeHost(host_, ::displayName(fileNameOf(path)), bytes, length);
    std::shared_ptr<vrs::Image> full =
        vrs::loadVirtualScreen(bytes, length, &viewImage, &count, decodeHost, &refusal, fd);
    if (refusal.error == vrs::LoadError::None && sourceChanged()) {
        refusal.error = vrs::LoadError::ChangedWhileRead;
        full.reset();
    }
    if (refusal.error != vrs::LoadError::None) {
        host_.alert(ErrorText::loadRefusal(refusal, ::displayName(fileNameOf(path))).toStdString());
    }
    if (!full) {
        return false;
    }
    const bool keepRegion = keepZoomAcrossFiles() && sameSize(full, myimage);
    fiveBit_ = refusal.layout.depth == 16;
    showPicture(path, std::move(full), std::move(viewImage), count, keepRegion);
    return true;
}

bool MyDocument::keepZoomAcrossFiles() {
    return QSettings().value(QLatin1String(kKeepZoomKey), true).toBool();
}

void MyDocument::setKeepZoomAcrossFiles(bool keep) {
    QSettings().setValue(QLatin1String(kKeepZoomKey), keep);
}

void MyDocument::showPicture(const QByteArray& path, std::shared_ptr<vrs::Image> full,
                             std::shared_ptr<vrs::Image> viewImage, std::int64_t count,
                             bool keepRegion) {
    // A click brings back the whole picture, before the new one is shown;
    // without it the region shown stays (a picture of the same size).
    if (mView) {
        mView->stopThread();
        if (!keepRegion) {
            mView->mouseDown(vrs::CGPoint{0, 0});
        }
    }
    myimage = std::move(full);
    myViewImage = std::move(viewImage);
    progress = count;
    setFilePath(path);
    if (window_) {
        window_->setWindowTitle(displayName());
        window_->setWindowFilePath(QFile::decodeName(filePath_));
        window_->setPictureCommandsEnabled(true);
    }
    showImages();
    if (mView && !keepRegion) {
        mView->mouseUp();
    }
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
    if (path != filePath_) {
        filePath_ = path;
        // A file that cannot be watched is still shown; it is only not
        // reloaded when it changes.
        [[maybe_unused]] const bool watched = watch_.watch(path);
    }
}

QString MyDocument::displayName() const {
    return filePath_.isEmpty() ? tr("Untitled") : ::displayName(fileNameOf(filePath_));
}
