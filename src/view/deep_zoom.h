// SPDX-License-Identifier: MIT
// Deep zoom: the regions a view shows from the full image, cut out on drawing
// threads while the view stays responsive. Owns those threads, the crop being
// cut or landed, the newest region asked for meanwhile, the last crop drawn
// (it covers what it can of a new region until that one lands) and the busy
// cursor: frames after the first turns of the wait, the arrow whenever a wait
// ends. Destroying it stops and joins its threads, so a document may close
// in the middle of a crop.
//
// The crops have a thread each rather than a task of the worker pool
// (platform/worker_pool.h): the pool's caller waits for its results in
// order, while the view never waits. A crop lands through the event loop,
// one that is stopped is let go unfinished while the next one starts at
// once beside it, and the threads live as long as the view, not as long as
// one piece of work.
#pragma once

#include <QCursor>
#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "decode/image.h"
#include "geometry/geometry.h"
#include "view/busy_cursor.h"
#include "view/crop_slot.h"

class DeepZoom : public QObject {
    Q_OBJECT

  public:
    enum class State {
        Idle,     // no crop under way or waiting
        Cutting,  // a drawing thread cuts the current crop
        Landed,   // the current crop is cut and waits for its pass
    };
    // Called on a drawing thread before it cuts, with its cancel flag.
    using Gate = std::function<void(const std::atomic<bool>& cancelled)>;

    // `view` shows the busy cursor and the arrow.
    explicit DeepZoom(QWidget* view);
    ~DeepZoom() override;

    void setBusyCursors(const std::array<QCursor, 8>& frames) { busyFrames_ = frames; }

    // What a pass draws for `region` of `full`: the crop of exactly that
    // region once it has landed (`exact`); otherwise the last crop drawn, if
    // any, to cover what it can, while the region's crop is asked for.
    struct Cover {
        std::shared_ptr<const CropSlot> crop;
        bool exact = false;
    };
    Cover cropFor(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region);
    // A pass drew from the view image: nothing cut so far is wanted any more.
    void forget();
    // Cuts the crop of `region` of `full` at once, on this thread, for the
    // next pass to draw: another picture shown in place of one whose crop
    // was drawn (two pictures compared, flipped) never shows the blur of its
    // view image meanwhile. The crop under way is stopped.
    void cutNow(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region);
    // Ends the wait at once: the crop under way is stopped and never drawn,
    // the last one forgotten (another picture, or the document closes).
    void stop();

    State state() const { return state_; }
    // Drawing threads that have not finished their crop.
    int cropsUnderWay() const;
    // The clock of the busy cursor, one turn every half second.
    QTimer* busyClock() const { return busyClock_; }
    // Tests: every crop started from now on passes `gate` first.
    void setGate(Gate gate) { gate_ = std::move(gate); }

  signals:
    // A crop has landed or the next one started: the view draws again.
    void landed();

  private slots:
    void cropFinished();

  private:
    struct Worker {
        std::shared_ptr<CropSlot> slot;
        std::thread thread;
    };

    bool start(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region);
    void finished(const std::shared_ptr<CropSlot>& slot);
    void busyTurn();
    void endWait();
    // Joins the threads whose crop is finished; all of them with `all`.
    void join(bool all);

    QWidget* view_;
    State state_ = State::Idle;
    std::shared_ptr<CropSlot> current_;
    std::weak_ptr<vrs::Image> full_;
    std::optional<vrs::CGRect> pending_;
    std::shared_ptr<const CropSlot> last_;
    QTimer* busyClock_;
    BusyCursorTurns turns_;
    std::array<QCursor, 8> busyFrames_;
    std::vector<Worker> workers_;
    Gate gate_;
};
