// SPDX-License-Identifier: MIT
#include "app/comparison_job.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>

#include "decode/decode_progress.h"
#include "platform/worker_pool.h"

namespace {

// How often the main thread looks in on the work.
constexpr int kLookMilliseconds = 40;

}  // namespace

// What the worker and the main thread share: the pictures (kept alive while
// they are read), the two stages' progress, and what the worker hands back,
// read by the main thread only once `finished` is set. The pool goes first
// of all, waiting for the work that uses the rest.
struct ComparisonJob::Work {
    std::shared_ptr<vrs::Image> a;
    std::shared_ptr<vrs::Image> b;
    vrs::CompareProgress compared;
    vrs::CompareProgress made;
    vrs::ComparisonResult result;
    vrs::DiffImages difference;
    std::atomic<bool> finished{false};
    std::int64_t counter = 1;  // the progress rule's count of updates shown
    std::unique_ptr<vrs::DecodeProgress> progress;
    vrs::WorkerPool pool{1, 1};

    void run() {
        vrs::CompareOptions options;
        options.sharedArea = true;
        const vrs::PlanarBitmap& bitmapA = *a->rep();
        const vrs::PlanarBitmap& bitmapB = *b->rep();
        result = vrs::comparePictures(vrs::PictureSource::ofBitmap(bitmapA),
                                      vrs::PictureSource::ofBitmap(bitmapB), options, 1, &compared);
        if (!result.failed() && !compared.stop.load(std::memory_order_relaxed)) {
            difference = vrs::makeDiffImages(bitmapA, bitmapB, options, result.regions, &made);
        }
        finished.store(true, std::memory_order_release);
    }
};

ComparisonJob::ComparisonJob(vrs::Host& host, QWidget* window, std::shared_ptr<vrs::Image> a,
                             std::shared_ptr<vrs::Image> b, QObject* parent)
    : QObject(parent), host_(host), window_(window), work_(std::make_shared<Work>()) {
    const std::int64_t height = std::min(a->rep()->height(), b->rep()->height());
    work_->a = std::move(a);
    work_->b = std::move(b);
    // Both stages count their rows: twice the height in all.
    work_->progress = std::make_unique<vrs::DecodeProgress>(host_, &work_->counter, 1, 2 * height,
                                                            tr("compare pictures").toStdString());
    Work* work = work_.get();
    work_->pool.submit([work](int /*worker*/) {
        work->run();
        return true;
    });
    connect(&clock_, &QTimer::timeout, this, &ComparisonJob::look);
    clock_.start(kLookMilliseconds);
}

ComparisonJob::~ComparisonJob() {
    work_->compared.stop.store(true, std::memory_order_relaxed);
    work_->made.stop.store(true, std::memory_order_relaxed);
    work_->progress.reset();
    work_->pool.stop();
    work_->pool.collectAll();
}

const vrs::ComparisonResult& ComparisonJob::result() const {
    return work_->result;
}

const vrs::DiffImages& ComparisonJob::difference() const {
    return work_->difference;
}

void ComparisonJob::look() {
    if (done_) {
        return;
    }
    const std::int64_t rows = work_->compared.rowsDone.load(std::memory_order_relaxed) +
                              work_->made.rowsDone.load(std::memory_order_relaxed);
    const std::int64_t shownBefore = work_->counter;
    for (; shown_ < rows; ++shown_) {
        work_->progress->afterRow(shown_);
    }
    if (shownBefore == 1 && work_->counter > 1 && window_) {
        // The progress window took the focus: the keys stay the window's,
        // Esc among them.
        window_->activateWindow();
    }
    if (!work_->finished.load(std::memory_order_acquire)) {
        return;
    }
    clock_.stop();
    work_->pool.collectAll();
    work_->progress->finish();
    done_ = true;
    emit finished();
}
