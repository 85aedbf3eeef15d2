// SPDX-License-Identifier: MIT
// Comparing a document's picture (A) with another file's (B) in the
// document's window, a state of the window the document owns: B decoded
// beside A, their difference found on a thread (comparison_job.h). While
// comparing, the view shows A, B or the difference in the same place and at
// the same zoom, steps through the changed regions largest first, and the
// window tells what it shows in its title, what was found in the size line,
// and both colours under the pointer in the pixel inspector.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

#include "app/comparison_job.h"
#include "decode/image.h"
#include "platform/host.h"

class MyImageView;
class PixelInspector;
class QWidget;

class CompareMode : public QObject {
    Q_OBJECT

  public:
    enum class Shown { A, B, Difference };
    struct Picture {
        std::shared_ptr<vrs::Image> full;
        std::shared_ptr<vrs::Image> view;
        bool fiveBit = false;  // 16-bit pixels
        QString name;
    };

    explicit CompareMode(vrs::Host& host, QObject* parent = nullptr);
    ~CompareMode() override;

    // Where it shows: the window's view, the window, its pixel inspector.
    void setParts(MyImageView* view, QWidget* window, PixelInspector* inspector);

    // Compares `a`, the picture shown, with `b` (both with a full image):
    // A stays shown while the difference is found. Comparing already, B is
    // replaced.
    void start(Picture a, Picture b);
    // The document shows another picture as A (another file, or its file
    // read again): it is compared with B afresh, and shown.
    void setA(Picture a);
    // Shows A alone again.
    void stop();
    bool active() const { return active_; }
    Shown shown() const { return shown_; }
    // True once the comparison has ended.
    bool found() const { return job_ && job_->done(); }
    // The comparison's result, once found().
    const vrs::ComparisonResult* result() const;

    // B: shows the other picture of the two, also from the difference.
    void flip();
    // D: shows the difference, or the picture again; asked for before the
    // difference is found, it is shown once it is.
    void toggleDifference();
    // N (+1) and Shift+N (-1): the next or previous changed region, largest
    // first, round from the last to the first.
    void step(int direction);

    // What the window tells while comparing: its title, the size line, the
    // inspector's colours of the pixel at (x, y), rows from the top.
    QString title() const;
    QString sizeLine() const;
    QString colours(int x, int yFromTop) const;

  signals:
    // Started, stopped, another picture shown, or the comparison ended.
    void changed();

  private:
    void startJob();
    void jobFinished();
    void showShown();

    vrs::Host& host_;
    QPointer<MyImageView> view_;
    QPointer<QWidget> window_;
    QPointer<PixelInspector> inspector_;
    bool active_ = false;
    Picture a_;
    Picture b_;
    Shown shown_ = Shown::A;
    Shown picture_ = Shown::A;  // A or B: the picture shown last
    bool differenceAsked_ = false;
    int region_ = -1;  // the region stepped to last
    std::unique_ptr<ComparisonJob> job_;
};

// The size line's words for what a comparison found: "identical",
// "12,345 pixels differ in 3 regions", "sizes differ: …".
QString comparisonText(const vrs::ComparisonResult& result);
