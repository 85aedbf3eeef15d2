// SPDX-License-Identifier: MIT
#include "app/after_first_paint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

class PaintWatcher : public QObject {
  public:
    PaintWatcher(QWidget* widget, QObject* context, std::function<void()> work)
        : QObject(widget), context_(context), work_(std::move(work)) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            watched->removeEventFilter(this);
            // Queued twice: the paint is flushed, and what was queued while
            // painting (the startup trace's report) runs, before the work.
            if (context_) {
                QObject* context = context_.data();
                QTimer::singleShot(0, context, [context, work = std::move(work_)]() mutable {
                    QTimer::singleShot(0, context, std::move(work));
                });
            }
            deleteLater();
        }
        return false;
    }

  private:
    QPointer<QObject> context_;
    std::function<void()> work_;
    bool done_ = false;
};

}  // namespace

void afterFirstPaint(QWidget* widget, QObject* context, std::function<void()> work) {
    if (widget != nullptr && context != nullptr && work) {
        new PaintWatcher(widget, context, std::move(work));
    }
}
