// SPDX-License-Identifier: MIT
#include "app/app_menus.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>

#include "app/after_first_paint.h"
#include "app/compare_menu.h"
#include "app/document_controller.h"
#include "app/document_window.h"
#include "app/edit_menu.h"
#include "app/go_menu.h"
#include "app/local_path.h"
#include "app/menus_tr.h"
#include "app/my_document.h"
#include "app/view_menu.h"

namespace {

using Needs = DocumentWindow::Needs;

void fillRecentMenu(QMenu* menu, DocumentController& controller) {
    menu->clear();
    const QList<QByteArray> files = controller.recentFiles().files();
    // Long names are cut in the middle, so the menu keeps a usable width;
    // the whole path is the tip.
    menu->setToolTipsVisible(true);
    const int width = menu->fontMetrics().averageCharWidth() * 60;
    const QStringList texts = recentMenuTexts(files, menu->fontMetrics(), width);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray path = files[i];
        QAction* action = menu->addAction(texts[i]);
        action->setToolTip(displayName(path));
        QObject::connect(action, &QAction::triggered, &controller,
                         [&controller, path] { controller.openDocument(path); });
    }
    if (files.isEmpty()) {
        menu->addAction(Menus::tr("No Recent Files"))->setEnabled(false);
    }
    menu->addSeparator();
    QAction* clear = menu->addAction(Menus::tr("Clear Menu"));
    clear->setEnabled(!files.isEmpty());
    QObject::connect(clear, &QAction::triggered, &controller,
                     [&controller] { controller.recentFiles().clear(); });
}

void buildFileMenu(DocumentWindow& window, DocumentController& controller, MyDocument& document) {
    QMenu* file = window.menuBar()->addMenu(Menus::tr("&File"));
    QAction* open = window.addCommand(file, Menus::tr("&Open…"), {Qt::CTRL | Qt::Key_O});
    QObject::connect(open, &QAction::triggered, &controller,
                     [&controller, &window] { controller.runOpenDialog(&window); });

    QMenu* recent = file->addMenu(Menus::tr("Open &Recent"));
    QObject::connect(recent, &QMenu::aboutToShow, recent,
                     [recent, &controller] { fillRecentMenu(recent, controller); });
    // Filled again whenever it opens; first once the window is on the screen.
    // Tied to the controller, which may go before a window still waiting for
    // its first paint; the menu may go first too.
    afterFirstPaint(&window, &controller, [menu = QPointer<QMenu>(recent), &controller] {
        if (menu) {
            fillRecentMenu(menu, controller);
        }
    });
    file->addSeparator();

    // Saving exports the full image: nothing to save without one.
    QAction* save =
        window.addCommand(file, Menus::tr("&Save"), {Qt::CTRL | Qt::Key_S}, Needs::Picture);
    QAction* saveAs = window.addCommand(file, Menus::tr("Save &As…"),
                                        {Qt::CTRL | Qt::SHIFT | Qt::Key_S}, Needs::Picture);
    QObject::connect(save, &QAction::triggered, &document,
                     [&document] { document.saveDocument(); });
    QObject::connect(saveAs, &QAction::triggered, &document,
                     [&document] { document.saveDocumentAs(); });
    file->addSeparator();

    QAction* print =
        window.addCommand(file, Menus::tr("&Print…"), {Qt::CTRL | Qt::Key_P}, Needs::Picture);
    QObject::connect(print, &QAction::triggered, &document,
                     [&document] { document.printDocument(); });
    file->addSeparator();

    QAction* close = window.addCommand(file, Menus::tr("&Close"), {Qt::CTRL | Qt::Key_W});
    QObject::connect(close, &QAction::triggered, &window, [&window] { window.close(); });
    QAction* quit = window.addCommand(file, Menus::tr("&Quit"), {Qt::CTRL | Qt::Key_Q});
    quit->setMenuRole(QAction::QuitRole);
    QObject::connect(quit, &QAction::triggered, &controller,
                     [&controller] { controller.closeAll(); });
}

}  // namespace

void buildDocumentMenus(DocumentWindow& window, DocumentController& controller,
                        MyDocument& document) {
    // The commands that need a picture are enabled with one.
    window.setPictureCommandsEnabled(document.fullImage() != nullptr);
    buildFileMenu(window, controller, document);
    QMenu* view = buildViewMenu(window, document);
    addCompareCommands(window, controller, document, view);
    buildEditMenu(window, document, view);
    buildGoMenu(window, controller, document);

    QMenu* help = window.menuBar()->addMenu(Menus::tr("&Help"));
    QAction* about = help->addAction(Menus::tr("&About vrsview"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &window, [&window] { showAboutBox(&window); });
}

void showAboutBox(QWidget* parent) {
    QMessageBox::about(
        parent, Menus::tr("About vrsview"),
        Menus::tr("<p><b>vrsview</b> %1</p>"
                  "<p>A viewer for virtual-screen capture files (.vrs).</p>"
                  "<p>Drag a band over the picture to zoom to it, drag a zoomed picture "
                  "to pan, click to see it whole again. F1 zooms in by two about the "
                  "pointer, F3 fits the window to the picture.</p>"
                  "<p>Ctrl+0 shows the actual size, Ctrl++ and Ctrl+- zoom in and out, "
                  "as the mouse wheel does about the pointer; F11 shows the picture on "
                  "the full screen; Ctrl+C copies the part shown. Page Down and Page "
                  "Up (or Right and Left) go to the next and previous file of the "
                  "folder, Home and End to the first and last; on a zoomed picture the "
                  "arrow keys pan.</p>"
                  "<p>Drop files onto a window to open them.</p>")
            .arg(QCoreApplication::applicationVersion()));
}
