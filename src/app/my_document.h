// SPDX-License-Identifier: MIT
// A document: one opened virtual-screen file, its two decoded images and its
// window. Never written back in its own format.
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/document_window.h"
#include "app/print_operation.h"
#include "decode/image.h"
#include "platform/host.h"
#include "view/my_image_view.h"

class MyDocument : public QObject {
    Q_OBJECT

  public:
    // Shows the print dialog for the printer; true when the user chose to print.
    using PrintDialogFunction = std::function<bool(QPrinter& printer, QWidget* parent)>;

    explicit MyDocument(vrs::Host& host, QObject* parent = nullptr);
    ~MyDocument() override;

    // Decodes the file's bytes into the full image and the view image. A
    // refused file leaves both empty (the user has been told why); the
    // document still opens, so this returns true.
    bool loadDataRepresentation(const std::uint8_t* bytes, std::size_t length, const QString& type);

    // Builds the window from its layout, then sets it up.
    void makeWindowControllers();
    // Hands the images to the view and writes the size line.
    void showImages();
    // Sizes the window to its picture and shows it.
    void showWindows();
    // Brings the window, as the user left it, to the front.
    void raiseWindow();
    // Shows another file in this document's window, which keeps its place and
    // size, the whole picture in view. A file that cannot be decoded (the user
    // has been told) leaves the document as it was and returns false.
    bool openInPlace(const QString& path, const std::uint8_t* bytes, std::size_t length);

    // Printing: the operation for the view, run behind the print dialog,
    // then the view redrawn on the screen whether printed or not.
    std::unique_ptr<PrintOperation> printOperationWithSettings();
    void runModalPrintOperation(PrintOperation& operation);
    void documentDidRunModalPrintOperation(bool didRun);
    void printDocument();
    void setPrintDialog(PrintDialogFunction printDialog);

    // Export (my_document_save.cpp). Save and Save As both open the export
    // panel on the window; when it is accepted the full image is written in
    // the format its file name's extension names. A document without a full
    // image ignores both.
    void saveDocument(QObject* sender = nullptr);
    void saveDocumentAs(QObject* sender = nullptr);
    void save_convert();
    // A pick in the options view: the pop-up tagged 1 sets the extension
    // every later panel requires, this one at once.
    void myAction(QObject* sender);
    // The panel's end: returnCode 1 (accepted) exports to its chosen path.
    void savePanelDidEnd(QFileDialog* panel, int returnCode, void* contextInfo);
    QFileDialog* savePanel() const { return sp; }

    void setFilePath(const QString& path);
    const QString& filePath() const { return filePath_; }
    QString displayName() const;

    DocumentWindow* window() const { return window_.get(); }
    MyImageView* view() const { return mView; }
    QLabel* sizeText() const { return mySizeText; }
    QWidget* options() const { return optionView; }
    const std::shared_ptr<vrs::Image>& fullImage() const { return myimage; }
    const std::shared_ptr<vrs::Image>& viewImage() const { return myViewImage; }
    std::int64_t progressCount() const { return progress; }

  private:
    // Connects the options view's pop-ups to myAction.
    void connectOptionView();
    void lendOptionView(QFileDialog& panel);
    void takeBackOptionView();

    QPointer<MyImageView> mView;
    QPointer<QWidget> optionView;
    QPointer<QLabel> mySizeText;
    std::shared_ptr<vrs::Image> myimage;
    std::shared_ptr<vrs::Image> myViewImage;
    QPointer<QFileDialog> sp;
    std::int64_t progress = 0;

    vrs::Host& host_;
    QString filePath_;
    PrintDialogFunction printDialog_;
    std::unique_ptr<DocumentWindow> window_;
    // Where the options view lives while no panel shows it.
    QPointer<QWidget> optionHome_;
};

// The extension the next export panel requires: "jpeg" at start-up, then the
// last format picked in any document's panel, until the process ends.
QString savePathExtension();

// "pixel X=%d Y=%d Size=%0.1fM" for a full image of width x height.
QString sizeLine(double width, double height);
