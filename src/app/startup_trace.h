// SPDX-License-Identifier: MIT
// VRSVIEW_TRACE=1: prints to standard error the milliseconds from the start
// of the process to the first paint of a picture, and from a Go menu step
// (its key) to the paint of the file it shows.
#pragma once

class MyImageView;

// Prints "vrsview: <what> after N ms" when tracing.
void traceStep(const char* what);
// Watches the view for its first paint with an image, once per process.
void traceFirstPaint(MyImageView* view);
// A Go menu step begins: its time is noted when tracing.
void traceFileStepStart();
// The step showed its file in the view: at the view's next paint, prints
// "vrsview: next file shown after N ms since the key".
void traceFileStepShown(MyImageView* view);
