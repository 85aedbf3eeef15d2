// SPDX-License-Identifier: MIT
#include "app/go_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/document_controller.h"
#include "app/document_window.h"
#include "app/folder_files.h"
#include "app/menus_tr.h"
#include "app/my_document.h"
#include "app/startup_trace.h"

namespace {

// Steps through the folder from the name last stepped to, while the window
// still shows what that step left in it: a bad file is stepped over, and a
// symbolic link (to a file of this folder or of another) is stepped past
// rather than leading back to its target's name.
class FileStepper : public QObject {
  public:
    FileStepper(DocumentController& controller, MyDocument& document, QObject* parent)
        : QObject(parent), controller_(controller), document_(document) {}

    // To the neighbour (`toEdge` false) or to the first or last file of the
    // folder (`toEdge` true), before (-1) or after (+1).
    void step(int direction, bool toEdge = false) {
        const bool stillThere = !tried_.isEmpty() && shownAfter_ == document_.filePath();
        const QByteArray from = stillThere ? tried_ : document_.filePath();
        if (from.isEmpty()) {
            return;
        }
        const QByteArray next = toEdge ? edgeFile(from, direction) : neighbourFile(from, direction);
        if (next.isEmpty() || next == from) {
            return;  // the first or the last file
        }
        traceFileStepStart();
        if (controller_.openInPlace(document_, next)) {
            traceFileStepShown(document_.view());
        }
        tried_ = next;
        shownAfter_ = document_.filePath();
    }

  private:
    DocumentController& controller_;
    MyDocument& document_;
    QByteArray tried_;
    QByteArray shownAfter_;
};

}  // namespace

void buildGoMenu(DocumentWindow& window, DocumentController& controller, MyDocument& document) {
    auto* stepper = new FileStepper(controller, document, &window);
    QMenu* go = window.menuBar()->addMenu(Menus::tr("&Go"));
    QAction* next = window.addCommand(
        go, Menus::tr("&Next File"), {QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_Right)});
    next->setObjectName(QStringLiteral("actionNextFile"));
    QObject::connect(next, &QAction::triggered, stepper, [stepper] { stepper->step(+1); });
    QAction* previous =
        window.addCommand(go, Menus::tr("&Previous File"),
                          {QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_Left)});
    previous->setObjectName(QStringLiteral("actionPreviousFile"));
    QObject::connect(previous, &QAction::triggered, stepper, [stepper] { stepper->step(-1); });
    QAction* first = window.addCommand(go, Menus::tr("&First File"), {QKeySequence(Qt::Key_Home)});
    first->setObjectName(QStringLiteral("actionFirstFile"));
    QObject::connect(first, &QAction::triggered, stepper, [stepper] { stepper->step(-1, true); });
    QAction* last = window.addCommand(go, Menus::tr("&Last File"), {QKeySequence(Qt::Key_End)});
    last->setObjectName(QStringLiteral("actionLastFile"));
    QObject::connect(last, &QAction::triggered, stepper, [stepper] { stepper->step(+1, true); });
}
