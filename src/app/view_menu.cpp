// SPDX-License-Identifier: MIT
#include "app/view_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/document_window.h"
#include "app/full_screen.h"
#include "app/menus_tr.h"
#include "app/my_document.h"

namespace {

using Needs = DocumentWindow::Needs;

void addZoomCommands(DocumentWindow& window, MyImageView* view, QMenu* menu) {
    // F1 and F3 stay the view's own keys (no shortcut): the items call what
    // the keys call.
    QAction* zoom = window.addCommand(menu, Menus::tr("Zoom\tF1"), {}, Needs::Picture);
    QAction* fit = window.addCommand(menu, Menus::tr("Fit Window\tF3"), {}, Needs::Picture);
    zoom->setObjectName(QStringLiteral("actionZoom"));
    fit->setObjectName(QStringLiteral("actionFitWindow"));
    menu->addSeparator();
    QAction* actual = window.addCommand(menu, ViewMenu::tr("&Actual Size"),
                                        {QKeySequence(Qt::CTRL | Qt::Key_0)}, Needs::Picture);
    QAction* in = window.addCommand(
        menu, ViewMenu::tr("Zoom &In"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        Needs::Picture);
    QAction* out = window.addCommand(menu, ViewMenu::tr("Zoom &Out"),
                                     {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, Needs::Picture);
    if (view != nullptr) {
        QObject::connect(zoom, &QAction::triggered, view, &MyImageView::zoomKey);
        QObject::connect(fit, &QAction::triggered, view, &MyImageView::fitKey);
        QObject::connect(actual, &QAction::triggered, view, &MyImageView::actualSize);
        QObject::connect(in, &QAction::triggered, view, &MyImageView::zoomIn);
        QObject::connect(out, &QAction::triggered, view, &MyImageView::zoomOut);
    }
}

void addKeepZoom(QMenu* menu) {
    QAction* keepZoom = menu->addAction(ViewMenu::tr("&Keep Zoom Across Files"));
    keepZoom->setObjectName(QStringLiteral("actionKeepZoom"));
    keepZoom->setCheckable(true);
    keepZoom->setChecked(MyDocument::keepZoomAcrossFiles());
    // Every window's item follows the one setting.
    QObject::connect(menu, &QMenu::aboutToShow, keepZoom,
                     [keepZoom] { keepZoom->setChecked(MyDocument::keepZoomAcrossFiles()); });
    QObject::connect(keepZoom, &QAction::toggled, keepZoom, &MyDocument::setKeepZoomAcrossFiles);
}

}  // namespace

QMenu* buildViewMenu(DocumentWindow& window, MyDocument& document) {
    QMenu* menu = window.menuBar()->addMenu(Menus::tr("&View"));
    addZoomCommands(window, document.view(), menu);
    menu->addSeparator();
    addKeepZoom(menu);
    addFullScreen(window, menu);
    return menu;
}
