// SPDX-License-Identifier: MIT
#include "app/startup_trace.h"

#include <sys/resource.h>
#include <unistd.h>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "view/my_image_view.h"

namespace {

bool traceWanted() {
    static const bool wanted = [] {
        const char* value = std::getenv("VRSVIEW_TRACE");
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return wanted;
}

// Seconds since boot at which this process started (field 22 of
// /proc/self/stat), or a negative value when unknown.
double processStartSeconds() {
    std::ifstream in("/proc/self/stat");
    std::string stat;
    std::getline(in, stat);
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    // Fields after the command name start at field 3; starttime is field 22.
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) {
            const long ticksPerSecond = sysconf(_SC_CLK_TCK);
            return ticksPerSecond > 0 ? std::stod(field) / static_cast<double>(ticksPerSecond) : -1;
        }
    }
    return -1;
}

double nowSinceBootSeconds() {
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) {
        return -1;
    }
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double millisecondsSinceStart() {
    const double start = processStartSeconds();
    const double now = nowSinceBootSeconds();
    return start < 0 || now < 0 ? -1 : (now - start) * 1000.0;
}

// Processor time used so far, all threads, user and system.
double cpuMilliseconds() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return -1;
    }
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void printStep(const char* what) {
    const double ms = millisecondsSinceStart();
    if (ms < 0) {
        std::fprintf(stderr, "vrsview: %s (start time unknown)\n", what);
    } else {
        std::fprintf(stderr, "vrsview: %s after %.0f ms (cpu %.0f ms)\n", what, ms,
                     cpuMilliseconds());
    }
}

bool reported = false;

class FirstPaintWatcher : public QObject {
  public:
    explicit FirstPaintWatcher(MyImageView* view) : QObject(view), view_(view) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == view_ && event->type() == QEvent::Paint && view_->image()) {
            view_->removeEventFilter(this);
            if (reported) {
                deleteLater();
                return false;
            }
            reported = true;
            // Runs once the paint has been drawn and flushed to the screen.
            QTimer::singleShot(0, [] { report(); });
            deleteLater();
        }
        return false;
    }

  private:
    static void report() { printStep("first paint"); }
    MyImageView* view_;
};

using Clock = std::chrono::steady_clock;

// The time of the Go step being traced, if any.
Clock::time_point stepStart;
bool stepPending = false;

// Prints the step's milliseconds at the view's first paint after the step
// showed its file; a later step replaces it.
class StepPaintWatcher : public QObject {
  public:
    StepPaintWatcher(MyImageView* view, Clock::time_point start)
        : QObject(view), view_(view), start_(start) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == view_ && event->type() == QEvent::Paint && view_->image()) {
            view_->removeEventFilter(this);
            // Runs once the paint has been drawn and flushed to the screen.
            QTimer::singleShot(0, [start = start_] {
                const auto ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::fprintf(stderr, "vrsview: next file shown after %.0f ms since the key\n", ms);
            });
            deleteLater();
        }
        return false;
    }

  private:
    MyImageView* view_;
    Clock::time_point start_;
};

}  // namespace

void traceStep(const char* what) {
    if (traceWanted()) {
        printStep(what);
    }
}

void traceFirstPaint(MyImageView* view) {
    if (reported || view == nullptr || !traceWanted()) {
        return;
    }
    view->installEventFilter(new FirstPaintWatcher(view));
}

void traceFileStepStart() {
    if (traceWanted()) {
        stepStart = Clock::now();
        stepPending = true;
    }
}

void traceFileStepShown(MyImageView* view) {
    if (!stepPending || view == nullptr) {
        return;
    }
    stepPending = false;
    // A step shown before the last one was painted is not told.
    static QPointer<StepPaintWatcher> watching;
    delete watching.data();
    watching = new StepPaintWatcher(view, stepStart);
    view->installEventFilter(watching.data());
}
