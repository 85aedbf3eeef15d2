// SPDX-License-Identifier: MIT
#include "app/edit_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <cstdint>

#include "app/document_window.h"
#include "app/menus_tr.h"
#include "app/my_document.h"
#include "app/pixel_inspector.h"
#include "app/status_line.h"

namespace {

// A copy holds at most 8192 x 8192 pixels (256 MiB at 4 bytes a pixel): a
// 16000 x 12000 picture, 768 MiB, is better saved than pasted.
constexpr std::int64_t kCopyLimit = std::int64_t{8192} * 8192;

void copyShown(DocumentWindow& window, MyDocument& document) {
    MyImageView* view = document.view();
    if (view == nullptr) {
        return;
    }
    QSize tooLarge;
    const QImage pixels = view->shownPixels(kCopyLimit, &tooLarge);
    if (!tooLarge.isEmpty()) {
        QMessageBox::information(
            &window, QString(),
            ViewMenu::tr(
                "The part of the picture shown, %1 x %2 pixels, is too large to copy: at most "
                "%3 million pixels can be copied. Zoom in to copy a part of it, or save the "
                "picture.")
                .arg(tooLarge.width())
                .arg(tooLarge.height())
                .arg(kCopyLimit / 1000000));
        return;
    }
    if (pixels.isNull()) {
        // Panned or zoomed off the picture: the clipboard stays as it was.
        QMessageBox::information(
            &window, QString(),
            ViewMenu::tr("No part of the picture is shown: there is nothing to copy."));
        return;
    }
    QApplication::clipboard()->setImage(pixels);
}

void copyColour(DocumentWindow& window) {
    const StatusLine* line = window.statusLine();
    const QString colour = line != nullptr ? line->inspector()->colour() : QString();
    if (colour.isEmpty()) {
        QMessageBox::information(&window, QString(),
                                 ViewMenu::tr("No colour to copy: point at the picture first."));
        return;
    }
    QApplication::clipboard()->setText(colour);
}

}  // namespace

void buildEditMenu(DocumentWindow& window, MyDocument& document, QMenu* viewMenu) {
    auto* edit = new QMenu(ViewMenu::tr("&Edit"), window.menuBar());
    window.menuBar()->insertMenu(viewMenu->menuAction(), edit);
    QAction* copy =
        window.addCommand(edit, ViewMenu::tr("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)},
                          DocumentWindow::Needs::Picture);
    QObject::connect(copy, &QAction::triggered, &window,
                     [&window, &document] { copyShown(window, document); });
    QAction* colour =
        window.addCommand(edit, ViewMenu::tr("Copy C&olour"), {}, DocumentWindow::Needs::Picture);
    colour->setObjectName(QStringLiteral("actionCopyColour"));
    QObject::connect(colour, &QAction::triggered, &window, [&window] { copyColour(window); });
}
