// SPDX-License-Identifier: MIT
// Two decoded pictures compared on a thread of the worker pool, then the
// images of their difference made there (compare/diff_images.h), while the
// window stays responsive. The main thread looks in on the work a few times
// a second: a long job puts up a progress window by the decoder's rule
// (nothing while it is younger than 61 ticks, a window only if it is then
// in its first half). Destroying the job stops the work and waits for it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "compare/compare_pictures.h"
#include "compare/diff_images.h"
#include "decode/image.h"
#include "platform/host.h"

class ComparisonJob : public QObject {
    Q_OBJECT

  public:
    // Starts comparing `a` with `b` (both with a bitmap); `window` is given
    // the focus back from a progress window that took it.
    ComparisonJob(vrs::Host& host, QWidget* window, std::shared_ptr<vrs::Image> a,
                  std::shared_ptr<vrs::Image> b, QObject* parent = nullptr);
    ~ComparisonJob() override;

    bool done() const { return done_; }
    // Once done: what the comparison found, and the difference's images
    // (null when memory was short).
    const vrs::ComparisonResult& result() const;
    const vrs::DiffImages& difference() const;

  signals:
    void finished();

  private:
    struct Work;
    void look();

    vrs::Host& host_;
    QPointer<QWidget> window_;
    std::shared_ptr<Work> work_;
    QTimer clock_;
    std::int64_t shown_ = 0;  // rows told to the progress rule
    bool done_ = false;
};
