// SPDX-License-Identifier: MIT
// The pass's side of the drawing thread: one crop slot, one thread at a time,
// the newest region served when the crop under way lands, the busy cursor.
#include <QMetaObject>

#include "view/crop_thread.h"
#include "view/my_image_view.h"
#include "view/plane_pixels.h"

void MyImageView::requestCrop(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region) {
    if (f_.clippedBigImage) {
        // A crop is being cut: the newest region waits for it to land.
        if (f_.clippedBigImage->region() == region) {
            pendingRegion_.reset();
        } else {
            pendingRegion_ = region;
        }
        return;
    }
    startCrop(full, region);
}

bool MyImageView::startCrop(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region) {
    const vrs::PlanarBitmap& rep = *full->rep();
    auto slot =
        std::make_shared<CropSlot>(region, vrs::pixelBoxFor(region, rep.width(), rep.height()));
    slot->setNotify([this](const std::shared_ptr<CropSlot>&) { cropFinished(); });
    f_.isThread.store(1, std::memory_order_release);
    f_.clippedBigImage = slot;
    cropLandedFlag_ = false;
    if (!startCropThread(slot, full)) {
        slot->clearNotify();
        f_.clippedBigImage.reset();
        f_.isThread.store(0, std::memory_order_release);
        endWait();
        return false;
    }
    if (!busyTimer_->isActive()) {
        busyTurns_.reset();
        busyTimer_->start();
    }
    return true;
}

// On the drawing thread, while the view cannot be destroyed (the slot's lock).
void MyImageView::cropFinished() {
    f_.isThread.store(0, std::memory_order_release);
    QMetaObject::invokeMethod(this, "onCropLanded", Qt::QueuedConnection);
}

// On the main thread: the crop in the slot, if it is done, is served. A call
// for a crop that was replaced meanwhile finds the newer one not done yet.
void MyImageView::onCropLanded() {
    const std::shared_ptr<CropSlot> slot = f_.clippedBigImage;
    if (slot && slot->done()) {
        cropLanded(slot);
    }
}

void MyImageView::cropLanded(const std::shared_ptr<CropSlot>& slot) {
    if (slot != f_.clippedBigImage || !slot->done()) {
        return;
    }
    if (pendingRegion_ && *pendingRegion_ != slot->region()) {
        const vrs::CGRect next = *pendingRegion_;
        pendingRegion_.reset();
        lastCrop_ = slot;  // drawn under the next region until its own lands
        f_.clippedBigImage.reset();
        const auto full = f_.bigImage.lock();
        if (full && full->rep() && startCrop(full, next)) {
            update();
            return;
        }
    }
    pendingRegion_.reset();
    cropLandedFlag_ = f_.clippedBigImage != nullptr;
    endWait();
    update();
}

void MyImageView::busyTurn() {
    if (f_.isThread.load(std::memory_order_acquire) == 0) {
        return;  // the crop is on its way
    }
    const int frame = busyTurns_.nextFrame();
    if (frame >= 0) {
        setCursor(f_.TCur[static_cast<std::size_t>(frame)]);
        busyCursorShown_ = true;
    }
}

void MyImageView::endWait() {
    busyTimer_->stop();
    if (busyCursorShown_) {
        setCursor(Qt::ArrowCursor);
        busyCursorShown_ = false;
    }
}
