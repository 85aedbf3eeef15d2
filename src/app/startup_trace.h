// SPDX-License-Identifier: MIT
// VRSVIEW_TRACE=1: prints to standard error the milliseconds from the start
// of the process to the first paint of a picture.
#pragma once

class MyImageView;

// Prints "vrsview: <what> after N ms" when tracing.
void traceStep(const char* what);
// Watches the view for its first paint with an image, once per process.
void traceFirstPaint(MyImageView* view);
