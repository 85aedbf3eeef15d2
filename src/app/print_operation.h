// SPDX-License-Identifier: MIT
// A print of an image view: the printer with its settings, the view, and the
// pass that paints the view's own drawing onto the page.
#pragma once

#include <QPointer>
#include <QPrinter>

class MyImageView;

struct PrintOperation {
    PrintOperation() : printer(QPrinter::HighResolution) {}
    QPrinter printer;
    QPointer<MyImageView> view;
};

// Paints the view onto the printer's page, scaled to fit it with its
// proportions kept and centred. False when the printer could not be started.
bool runPrintPass(MyImageView& view, QPrinter& printer);
