// SPDX-License-Identifier: MIT
// A small window with one progress bar, on the screen exactly as long as the
// object lives. Callers set the title, range, value and mode themselves.
#pragma once

#include <QRect>

#include "geometry/geometry.h"

class QProgressBar;
class QScreen;
class QWidget;

class MyProgressWindow {
  public:
    // Builds the window and its bar and shows it at once, centred on the
    // primary screen, above the document windows.
    MyProgressWindow();
    // Takes the window off the screen immediately.
    ~MyProgressWindow();
    MyProgressWindow(const MyProgressWindow&) = delete;
    MyProgressWindow& operator=(const MyProgressWindow&) = delete;

    QWidget* window() const { return window_; }
    QProgressBar* indicator() const { return indicator_; }
    void setIndeterminate(bool indeterminate);
    void startAnimation();

    // The content rectangle in Qt's global coordinates for the given primary
    // screen geometry (null: no screen).
    static QRect contentGeometry(const QRect* primaryScreen);

  private:
    QWidget* window_ = nullptr;
    QProgressBar* indicator_ = nullptr;
    int determinateMaximum_ = 100;
};
