// SPDX-License-Identifier: MIT
#include "app/document_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "app/local_path.h"
#include "app/status_line.h"
#include "geometry/view_frame.h"
#include "view/my_image_view.h"

namespace {

// The view's bezel on both sides.
constexpr int kViewBorder = 2 * static_cast<int>(vrs::kBezel);
// The view's size without a picture (the bezel around it).
constexpr QSize kEmptyView(400, 300);
// Room kept for the window manager's frame and title bar.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;
// Room kept for a desktop panel where the screen does not say where panels are.
constexpr int kHiddenPanelHeight = 48;

QList<QByteArray> localFiles(const QMimeData* mime) {
    QList<QByteArray> paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths.append(localPathOfUrl(url));
        }
    }
    return paths;
}

}  // namespace

QSize viewSizeForImage(double width, double height, QSize room) {
    if (!(width > 0) || !(height > 0)) {
        return kEmptyView + QSize(kViewBorder, kViewBorder);
    }
    const double roomW = std::max(1, room.width() - kViewBorder);
    const double roomH = std::max(1, room.height() - kViewBorder);
    const double scale = std::min({1.0, roomW / width, roomH / height});
    const int w = std::max(1, static_cast<int>(std::floor(width * scale)));
    const int h = std::max(1, static_cast<int>(std::floor(height * scale)));
    return QSize(w + kViewBorder, h + kViewBorder);
}

QSize windowRoom(const QRect& geometry, const QRect& available, bool panelsUntold) {
    QSize room = available.size() - QSize(kFrameWidth, kFrameHeight);
    if (panelsUntold && available == geometry) {
        room.rheight() -= kHiddenPanelHeight;
    }
    return room;
}

DocumentWindow::DocumentWindow(QWidget* parent) : QMainWindow(parent) {
    setAcceptDrops(true);
}

void DocumentWindow::setParts(MyImageView* view, QLabel* sizeText) {
    view_ = view;
    sizeText_ = sizeText;
    if (view != nullptr && sizeText != nullptr && sizeText->parentWidget() != nullptr) {
        statusLine_ = new StatusLine(sizeText, view);
    }
}

StatusLine* DocumentWindow::statusLine() const {
    return statusLine_;
}

QAction* DocumentWindow::addCommand(QMenu* menu, const QString& text,
                                    const QList<QKeySequence>& keys, Needs needs) {
    QAction* action = menu->addAction(text);
    action->setShortcuts(keys);
    addAction(action);
    if (needs == Needs::Picture) {
        pictureCommands_.append(action);
        action->setEnabled(pictureCommandsEnabled_);
    }
    return action;
}

void DocumentWindow::setPictureCommandsEnabled(bool enabled) {
    pictureCommandsEnabled_ = enabled;
    for (const QPointer<QAction>& action : pictureCommands_) {
        if (action) {
            action->setEnabled(enabled);
        }
    }
}

void DocumentWindow::sizeToImage(double width, double height) {
    const QWidget* central = centralWidget();
    if (view_ == nullptr || central == nullptr) {
        return;
    }
    // Everything around the view: the menu bar, the size line, margins.
    int chromeH = menuBar()->sizeHint().height();
    if (const QLayout* layout = central->layout()) {
        const QMargins m = layout->contentsMargins();
        chromeH += m.top() + m.bottom() + std::max(0, layout->spacing());
    }
    if (statusLine_ != nullptr) {
        chromeH += statusLine_->sizeHint().height();
    } else if (sizeText_ != nullptr) {
        chromeH += sizeText_->sizeHint().height();
    }
    const QScreen* scr = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    QSize room(4096, 4096);
    if (scr != nullptr) {
        // Wayland never tells a client where the desktop's panels are.
        const bool panelsUntold = QGuiApplication::platformName().startsWith(u"wayland");
        room =
            windowRoom(scr->geometry(), scr->availableGeometry(), panelsUntold) - QSize(0, chromeH);
    }
    const QSize viewSize = viewSizeForImage(width, height, room);
    resize(viewSize.width(), viewSize.height() + chromeH);
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

namespace {

// Files are only read: a drop is taken as a copy (or a link), whatever the
// source proposes. Shift held makes file managers propose a move, after
// which the source may delete what it moved.
bool acceptAsCopy(QDropEvent* event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    return false;
}

}  // namespace

void DocumentWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty()) {
        acceptAsCopy(event);
    }
}

void DocumentWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty()) {
        acceptAsCopy(event);
    }
}

void DocumentWindow::dropEvent(QDropEvent* event) {
    const QList<QByteArray> paths = localFiles(event->mimeData());
    if (paths.isEmpty() || !acceptAsCopy(event)) {
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        emit compareDropped(paths.first());
    } else {
        emit filesDropped(paths);
    }
}
