// SPDX-License-Identifier: MIT
#include "app/my_document.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "app/error_text.h"
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

bool showPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

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
    : QObject(parent), host_(host), printDialog_(showPrintDialog) {}

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
                                        const QString& /*type*/) {
    progress = 1;
    vrs::VirtualScreenInfo refusal;
    myimage = vrs::loadVirtualScreen(bytes, length, &myViewImage, &progress, host_, &refusal);
    if (refusal.error != vrs::LoadError::None) {
        host_.alert(ErrorText::loadRefusal(refusal, displayName()).toStdString());
    }
    return true;
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
        window_->setWindowFilePath(filePath_);
    }
    mView->loadCursors();
    showImages();
}

void MyDocument::showImages() {
    if (!myimage) {
        return;
    }
    if (mView) {
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

bool MyDocument::openInPlace(const QString& path, const std::uint8_t* bytes, std::size_t length) {
    std::shared_ptr<vrs::Image> viewImage;
    std::int64_t count = 1;
    vrs::VirtualScreenInfo refusal;
    std::shared_ptr<vrs::Image> full =
        vrs::loadVirtualScreen(bytes, length, &viewImage, &count, host_, &refusal);
    if (refusal.error != vrs::LoadError::None) {
        host_.alert(ErrorText::loadRefusal(refusal, QFileInfo(path).fileName()).toStdString());
    }
    if (!full) {
        return false;
    }
    if (mView) {
        mView->stopThread();
        // A click: back to the whole picture, before the new one is shown.
        mView->mouseDown(vrs::CGPoint{0, 0});
    }
    myimage = std::move(full);
    myViewImage = std::move(viewImage);
    progress = count;
    setFilePath(path);
    if (window_) {
        window_->setWindowTitle(displayName());
        window_->setWindowFilePath(filePath_);
        window_->setPictureCommandsEnabled(true);
    }
    showImages();
    if (mView) {
        mView->mouseUp();
    }
    return true;
}

std::unique_ptr<PrintOperation> MyDocument::printOperationWithSettings() {
    auto operation = std::make_unique<PrintOperation>();
    operation->view = mView;
    operation->printer.setDocName(displayName());
    if (!filePath_.isEmpty()) {
        // "Print to file" proposes a PDF beside the picture; a printer stays
        // the choice where there is one.
        const QFileInfo file(filePath_);
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

void MyDocument::setFilePath(const QString& path) {
    filePath_ = path;
}

QString MyDocument::displayName() const {
    return filePath_.isEmpty() ? tr("Untitled") : QFileInfo(filePath_).fileName();
}
