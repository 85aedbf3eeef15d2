// SPDX-License-Identifier: MIT
// Work that can wait until a new window is on the screen.
#pragma once

#include <functional>

class QObject;
class QWidget;

// Runs `work` once, from the event loop, right after `widget` has been
// painted for the first time (the paint flushed to the screen). Nothing runs
// when `widget` or `context` goes before that.
void afterFirstPaint(QWidget* widget, QObject* context, std::function<void()> work);
