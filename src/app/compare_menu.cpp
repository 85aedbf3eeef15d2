// SPDX-License-Identifier: MIT
#include "app/compare_menu.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "app/document_controller.h"
#include "app/document_window.h"
#include "app/local_path.h"
#include "app/menus_tr.h"
#include "app/my_document.h"

namespace {

// The file to compare with, chosen in an Open dialog starting in the
// folder of the window's file; empty when cancelled.
QString askForFile(QWidget* window) {
    const QString filters = DocumentController::tr("Virtual screen files (*.vrs)") +
                            QStringLiteral(";;") + DocumentController::tr("All files (*)");
    const QString path = window->windowFilePath();
    const QString folder = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    return QFileDialog::getOpenFileName(window, ViewMenu::tr("Compare With"), folder, filters);
}

}  // namespace

void addCompareCommands(DocumentWindow& window, DocumentController& controller,
                        MyDocument& document, QMenu* viewMenu) {
    viewMenu->addSeparator();
    QAction* with = window.addCommand(viewMenu, ViewMenu::tr("Compare &With…"), {},
                                      DocumentWindow::Needs::Picture);
    with->setObjectName(QStringLiteral("actionCompareWith"));
    QObject::connect(with, &QAction::triggered, &controller, [&window, &controller, &document] {
        const QString path = askForFile(&window);
        if (!path.isEmpty()) {
            controller.compareWith(document, pathOfQString(path));
        }
    });

    CompareMode& mode = document.comparison();
    QAction* flip =
        window.addCommand(viewMenu, ViewMenu::tr("F&lip A and B"), {QKeySequence(Qt::Key_B)});
    QAction* difference =
        window.addCommand(viewMenu, ViewMenu::tr("Show &Difference"), {QKeySequence(Qt::Key_D)});
    difference->setCheckable(true);
    QAction* next =
        window.addCommand(viewMenu, ViewMenu::tr("&Next Change"), {QKeySequence(Qt::Key_N)});
    QAction* previous = window.addCommand(viewMenu, ViewMenu::tr("&Previous Change"),
                                          {QKeySequence(Qt::SHIFT | Qt::Key_N)});
    QAction* stop = window.addCommand(viewMenu, ViewMenu::tr("&Stop Comparing"));
    stop->setObjectName(QStringLiteral("actionStopComparing"));
    const auto follow = [&mode, flip, difference, next, previous, stop] {
        for (QAction* action : {flip, difference, next, previous, stop}) {
            action->setEnabled(mode.active());
        }
        difference->setChecked(mode.shown() == CompareMode::Shown::Difference);
    };
    follow();
    QObject::connect(&mode, &CompareMode::changed, difference, follow);
    QObject::connect(flip, &QAction::triggered, &mode, &CompareMode::flip);
    // The item's check tells what is shown, whatever the click made of it.
    QObject::connect(difference, &QAction::triggered, &mode, [&mode, follow] {
        mode.toggleDifference();
        follow();
    });
    QObject::connect(next, &QAction::triggered, &mode, [&mode] { mode.step(+1); });
    QObject::connect(previous, &QAction::triggered, &mode, [&mode] { mode.step(-1); });
    QObject::connect(stop, &QAction::triggered, &mode, &CompareMode::stop);

    // Esc is full screen's first: it stops comparing only in a window.
    auto* full = window.findChild<QAction*>(QStringLiteral("actionFullScreen"));
    const auto escape = [stop, full] {
        const bool fullScreen = full != nullptr && full->isChecked();
        stop->setShortcut(fullScreen ? QKeySequence() : QKeySequence(Qt::Key_Escape));
    };
    escape();
    if (full != nullptr) {
        QObject::connect(full, &QAction::toggled, stop, escape);
    }
}
