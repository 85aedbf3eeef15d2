// SPDX-License-Identifier: MIT
#include "view/deep_zoom.h"

#include <QMetaObject>
#include <QWidget>
#include <algorithm>
#include <system_error>

DeepZoom::DeepZoom(QWidget* view) : QObject(view), view_(view), busyClock_(new QTimer(this)) {
    busyClock_->setInterval(BusyCursorTurns::kTurnMilliseconds);
    connect(busyClock_, &QTimer::timeout, this, &DeepZoom::busyTurn);
}

DeepZoom::~DeepZoom() {
    for (Worker& worker : workers_) {
        worker.slot->cancel();
    }
    join(true);
}

DeepZoom::Cover DeepZoom::cropFor(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region) {
    if (state_ == State::Landed) {
        const std::shared_ptr<CropSlot> slot = std::move(current_);
        state_ = State::Idle;
        last_ = slot;
        if (slot->region() == region) {
            return {slot, true};
        }
    }
    if (state_ == State::Cutting) {
        // The newest region waits for the crop under way to land.
        if (current_->region() == region) {
            pending_.reset();
        } else {
            pending_ = region;
        }
    } else {
        start(full, region);
    }
    return {last_, false};
}

void DeepZoom::forget() {
    pending_.reset();
    last_.reset();
    if (state_ == State::Landed) {
        current_.reset();
        state_ = State::Idle;
    }
}

void DeepZoom::stop() {
    if (current_) {
        current_->cancel();
        current_.reset();
    }
    state_ = State::Idle;
    pending_.reset();
    last_.reset();
    endWait();
}

void DeepZoom::cutNow(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region) {
    stop();
    if (!full || !full->rep()) {
        return;
    }
    const vrs::PlanarBitmap& rep = *full->rep();
    auto slot =
        std::make_shared<CropSlot>(region, vrs::pixelBoxFor(region, rep.width(), rep.height()));
    slot->cut(rep);
    slot->finish();
    current_ = std::move(slot);
    full_ = full;
    state_ = State::Landed;
}

int DeepZoom::cropsUnderWay() const {
    return static_cast<int>(std::count_if(workers_.begin(), workers_.end(),
                                          [](const Worker& w) { return !w.slot->finished(); }));
}

bool DeepZoom::start(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region) {
    if (!full || !full->rep()) {
        return false;
    }
    join(false);
    const vrs::PlanarBitmap& rep = *full->rep();
    auto slot =
        std::make_shared<CropSlot>(region, vrs::pixelBoxFor(region, rep.width(), rep.height()));
    try {
        std::thread thread(
            [this, slot, image = std::shared_ptr<vrs::Image>(full), gate = gate_]() mutable {
                if (gate) {
                    gate(slot->cancelled());
                }
                if (!slot->cancelled().load(std::memory_order_relaxed)) {
                    slot->cut(*image->rep());
                }
                image.reset();
                slot->finish();
                // This object outlives the thread: its destructor joins it.
                // Called by name, so the thread hands over no object of its
                // own making; the main thread finds the crop through the slot.
                QMetaObject::invokeMethod(this, "cropFinished", Qt::QueuedConnection);
            });
        workers_.push_back({slot, std::move(thread)});
    } catch (const std::system_error&) {
        endWait();
        return false;
    }
    current_ = std::move(slot);
    full_ = full;
    state_ = State::Cutting;
    if (!busyClock_->isActive()) {
        turns_.reset();
        busyClock_->start();
    }
    return true;
}

// On the main thread, queued by a drawing thread whose crop is finished. A
// crop that was stopped or replaced meanwhile is not current: it is let go.
void DeepZoom::cropFinished() {
    if (current_ && current_->finished()) {
        const std::shared_ptr<CropSlot> slot = current_;
        finished(slot);
    }
}

void DeepZoom::finished(const std::shared_ptr<CropSlot>& slot) {
    if (slot != current_ || state_ != State::Cutting) {
        return;
    }
    if (pending_ && *pending_ != slot->region()) {
        const vrs::CGRect next = *pending_;
        pending_.reset();
        last_ = slot;  // drawn under the next region until its own lands
        current_.reset();
        state_ = State::Idle;
        if (start(full_.lock(), next)) {
            emit landed();
            return;
        }
    } else {
        state_ = State::Landed;
    }
    pending_.reset();
    endWait();
    emit landed();
}

void DeepZoom::busyTurn() {
    if (state_ != State::Cutting) {
        return;  // the crop is on its way
    }
    const int frame = turns_.nextFrame();
    if (frame >= 0) {
        view_->setCursor(busyFrames_[static_cast<std::size_t>(frame)]);
    }
}

void DeepZoom::endWait() {
    if (busyClock_->isActive()) {
        busyClock_->stop();
        view_->setCursor(Qt::ArrowCursor);
    }
}

void DeepZoom::join(bool all) {
    auto done = std::remove_if(workers_.begin(), workers_.end(), [all](Worker& worker) {
        if (!all && !worker.slot->finished()) {
            return false;
        }
        worker.thread.join();
        return true;
    });
    workers_.erase(done, workers_.end());
}
