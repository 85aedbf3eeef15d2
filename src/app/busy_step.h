// SPDX-License-Identifier: MIT
// While a file is opened or a picture is exported on the main thread: what was
// closed just before (a dialog) is taken off the screen and the windows under
// it redrawn, then the pointer shows a busy cursor until the work ends. A
// dialog that comes up meanwhile (a message) gets the ordinary pointer back.
#pragma once

#include <QObject>

class BusyStep : public QObject {
  public:
    BusyStep();
    ~BusyStep() override;
    BusyStep(const BusyStep&) = delete;
    BusyStep& operator=(const BusyStep&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void restoreCursor();
    bool cursorSet_ = false;
};

// Lets the window system take closed windows away and the windows under them
// be drawn again, without handling any input.
void drawPendingWindows();
