// SPDX-License-Identifier: MIT
// A document: one opened virtual-screen file, its two decoded images and its
// window. Never written back in its own format. Its collaborators, which it
// owns and which know nothing of it: the decode of a file (decode_file.h),
// its export (export_session.h), the reading again of its file when it
// changes on the disk (file_reload.h) and the comparison of its picture
// with another file's (compare_mode.h).
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/compare_mode.h"
#include "app/decode_file.h"
#include "app/document_window.h"
#include "app/export_session.h"
#include "app/file_reload.h"
#include "app/print_operation.h"
#include "decode/image.h"
#include "platform/host.h"
#include "view/my_image_view.h"

class MyDocument : public QObject {
    Q_OBJECT

  public:
    // Shows the print dialog for the printer; true when the user chose to print.
    using PrintDialogFunction = std::function<bool(QPrinter& printer, QWidget* parent)>;
    // The files open in every viewer window, which no save may write onto.
    using OpenFilesFunction = std::function<QList<QByteArray>()>;
    // True while the file just read is as it was when it was opened.
    using SourceCheck = FileUnchanged;

    explicit MyDocument(vrs::Host& host, QObject* parent = nullptr);
    ~MyDocument() override;

    // Decodes the file's bytes into the full image and the view image. A
    // refused file leaves both empty (the user has been told why); the
    // document still opens, so this returns true. `fd`, when not -1, is the
    // open file the bytes map: its rows are read from it.
    bool loadDataRepresentation(const std::uint8_t* bytes, std::size_t length, const QString& type,
                                int fd = -1);
    // While several files open at once, a refusal is not told in a message
    // box, which would hold up the others, but shown in the document's own
    // window, in the size line's place.
    void setRefusalInWindow(bool inWindow) { refusalInWindow_ = inWindow; }
    // Why the file shows no picture, for its window; empty when it does.
    void setRefusal(const QString& reason) { refusal_ = reason; }
    const QString& refusal() const { return refusal_; }

    // Builds the window from its layout, then sets it up.
    void makeWindowControllers();
    // Hands the images to the view and writes the size line.
    void showImages();
    // Sizes the window to its picture and shows it.
    void showWindows();
    // Brings the window, as the user left it, to the front.
    void raiseWindow();
    // Shows another file in this document's window, which keeps its place and
    // size: the region shown stays when the new picture has the same size and
    // keepZoomAcrossFiles() is on (a series of the same screen), otherwise the
    // whole picture is shown. A file that cannot be decoded (the user has
    // been told) leaves the document as it was and returns false.
    bool openInPlace(const QByteArray& path, const std::uint8_t* bytes, std::size_t length,
                     int fd = -1);
    // Compares the picture shown with the file's (View > Compare With…): a
    // file that cannot be decoded (the user has been told) leaves the
    // window as it was and returns false. Another picture shown later (the
    // next file, the file read again) is compared with the same file.
    bool compareWith(const QByteArray& path, const std::uint8_t* bytes, std::size_t length,
                     int fd = -1);
    CompareMode& comparison() { return compare_; }

    // View > Keep Zoom Across Files; on unless the user turned it off, and
    // remembered in the settings.
    static bool keepZoomAcrossFiles();
    static void setKeepZoomAcrossFiles(bool keep);

    // Reads the file again after it changed on the disk: a complete picture
    // replaces the one shown, keeping the region shown when its size is the
    // same; a file being written, gone or unreadable leaves the picture and
    // says so beside the size line. Waits for an export of this document to end.
    void reloadFromDisk() { reload_.reload(); }
    const QString& fileNote() const { return reload_.note(); }

    // Printing: the operation for the view, run behind the print dialog,
    // then the view redrawn on the screen whether printed or not.
    std::unique_ptr<PrintOperation> printOperationWithSettings();
    void runModalPrintOperation(PrintOperation& operation);
    void documentDidRunModalPrintOperation(bool didRun);
    void printDocument();
    void setPrintDialog(PrintDialogFunction printDialog);

    // Export, through the export session. Save and Save As both open the
    // export panel on the window; when it is accepted the full image is
    // written in the format its file name's extension names. A document
    // without a full image ignores both.
    void saveDocument(QObject* sender = nullptr);
    void saveDocumentAs(QObject* sender = nullptr);
    void save_convert();
    // A pick in the options view: the pop-up tagged 1 sets the extension
    // every later panel requires, this one at once.
    void myAction(QObject* sender);
    // The panel's end: returnCode 1 (accepted) exports to its chosen path.
    void savePanelDidEnd(QFileDialog* panel, int returnCode, void* contextInfo);
    QFileDialog* savePanel() const { return export_.panel(); }
    // Without it, a save is kept off this document's own file only.
    void setOpenFiles(OpenFilesFunction openFiles);
    // Asked after a file is decoded; a file that changed is refused. Set for
    // one load or openInPlace, and cleared by it.
    void setSourceCheck(SourceCheck check);

    // The file's path as the file system names it (bytes, not necessarily
    // UTF-8); its name is shown decoded as a file manager shows it.
    void setFilePath(const QByteArray& path);
    const QByteArray& filePath() const { return filePath_; }
    QString displayName() const;

    DocumentWindow* window() const { return window_.get(); }
    MyImageView* view() const { return mView; }
    QLabel* sizeText() const { return mySizeText; }
    QWidget* options() const { return optionView; }
    const std::shared_ptr<vrs::Image>& fullImage() const { return myimage; }
    const std::shared_ptr<vrs::Image>& viewImage() const { return myViewImage; }
    std::int64_t progressCount() const { return progress; }

  private:
    // Decodes the file's bytes, checked once by the source check set for it.
    DecodedFile decode(const QByteArray& path, const std::uint8_t* bytes, std::size_t length,
                       int fd, vrs::Host& host);
    // Shows the new pictures of `path`, as openInPlace and a reload do.
    void showPicture(const QByteArray& path, DecodedFile file, bool keepRegion);
    // The size line, with the file's note beside it; comparing, what the
    // comparison found.
    void showSizeLine();
    // The window's title: the file's name, or what a comparison shows.
    void showTitle();
    // The document's picture, as a comparison takes it.
    CompareMode::Picture picture() const;

    QPointer<MyImageView> mView;
    QPointer<QWidget> optionView;
    QPointer<QLabel> mySizeText;
    std::shared_ptr<vrs::Image> myimage;
    std::shared_ptr<vrs::Image> myViewImage;
    std::int64_t progress = 0;

    vrs::Host& host_;
    QByteArray filePath_;
    bool refusalInWindow_ = false;
    bool fiveBit_ = false;  // the file holds 16-bit pixels
    QString refusal_;
    PrintDialogFunction printDialog_;
    OpenFilesFunction openFiles_;
    SourceCheck sourceCheck_;
    ExportSession export_;
    FileReload reload_;
    CompareMode compare_;
    std::unique_ptr<DocumentWindow> window_;
};

// True when both pictures are there and of the same size.
bool sameSize(const std::shared_ptr<vrs::Image>& a, const std::shared_ptr<vrs::Image>& b);

// "pixel X=%d Y=%d Size=%0.1fM" for a full image of width x height.
QString sizeLine(double width, double height);
