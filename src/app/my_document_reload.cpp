// SPDX-License-Identifier: MIT
// A document's file read again after it changed on the disk.
#include <QTimer>
#include <cerrno>

#include "app/error_text.h"
#include "app/local_path.h"
#include "app/my_document.h"
#include "app/recording_host.h"
#include "platform/file_stamp.h"
#include "platform/mapped_file.h"
#include "vrscreen/loader.h"

namespace {

// Sets a flag for the life of a scope.
class Holding {
  public:
    explicit Holding(bool& flag) : flag_(flag) { flag_ = true; }
    ~Holding() { flag_ = false; }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

  private:
    bool& flag_;
};

}  // namespace

void MyDocument::reloadFromDisk() {
    if (exporting_ || reloading_ || filePath_.isEmpty()) {
        // The export reads the picture shown: the new one waits for its end.
        reloadPending_ = !filePath_.isEmpty();
        return;
    }
    const Holding reloading(reloading_);
    reloadPending_ = false;
    vrs::MappedFile file;
    if (!file.open(filePath_.toStdString())) {
        setFileNote(file.error() == ENOENT ? tr("The file is no longer there.")
                                           : ErrorText::openFailure(displayName(), file.error()));
        return;
    }
    RecordingHost quiet(host_);
    std::shared_ptr<vrs::Image> viewImage;
    std::int64_t count = 1;
    vrs::VirtualScreenInfo refusal;
    std::shared_ptr<vrs::Image> full = vrs::loadVirtualScreen(file.data(), file.size(), &viewImage,
                                                              &count, quiet, &refusal, file.fd());
    vrs::FileStamp now;
    if (full && !(vrs::stampPath(filePath_.toStdString(), &now) && now == file.stamp())) {
        // Written again while it was read: never shown mixed.
        refusal.error = vrs::LoadError::ChangedWhileRead;
        full.reset();
    }
    if (!full) {
        // A half-written file is not shown: its last write brings another look.
        const bool writing = refusal.error == vrs::LoadError::TruncatedRows ||
                             refusal.error == vrs::LoadError::ChangedWhileRead;
        setFileNote(writing ? tr("The file is being written.")
                            : ErrorText::loadRefusal(refusal, displayName()));
        return;
    }
    const bool keepRegion = sameSize(full, myimage);
    fiveBit_ = refusal.layout.depth == 16;
    setFileNote({});
    refusal_.clear();
    showPicture(filePath_, std::move(full), std::move(viewImage), count, keepRegion);
}

void MyDocument::setFileNote(const QString& note) {
    fileNote_ = note;
    if (!mySizeText) {
        return;
    }
    QString text = myimage ? sizeLine(myimage->size().width, myimage->size().height) : refusal_;
    if (!note.isEmpty()) {
        text = text.isEmpty() ? note : text + QStringLiteral("   ") + note;
    }
    mySizeText->setText(text);
}

void MyDocument::exportFinished() {
    exporting_ = false;
    if (reloadPending_) {
        QTimer::singleShot(0, this, &MyDocument::reloadFromDisk);
    }
}
