// SPDX-License-Identifier: MIT
#include "app/full_screen.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "app/document_window.h"
#include "app/menus_tr.h"
#include "app/status_line.h"

namespace {

// Time a window manager is given to put a window into full screen.
constexpr int kWindowManagerTime = 300;

class FullScreen : public QObject {
  public:
    FullScreen(DocumentWindow& window, QAction* full)
        : QObject(&window), window_(window), full_(full), statusLine_(window.statusLine()) {
        window.installEventFilter(this);
    }

    void set(bool on) {
        window_.menuBar()->setVisible(!on);
        showStatusLine(!on);
        if (!on) {
            window_.showNormal();
            window_.setGeometry(before_);
            return;
        }
        before_ = window_.geometry();
        window_.showFullScreen();
        // Without a window manager that honours full screen, nothing resizes
        // the window: it is given the screen by hand.
        QTimer::singleShot(kWindowManagerTime, this, [this] {
            const QScreen* screen = window_.screen();
            if (screen != nullptr && full_->isChecked() &&
                window_.geometry() != screen->geometry()) {
                window_.setGeometry(screen->geometry());
                // Setting the geometry takes the window out of the state;
                // it is still full screen, as F3, for one, must know.
                window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
            }
        });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && full_->isChecked() &&
            !static_cast<QWidget*>(watched)->isFullScreen()) {
            full_->setChecked(false);
        }
        return false;
    }

  private:
    void showStatusLine(bool shown) {
        if (statusLine_ == nullptr) {
            return;
        }
        statusLine_->setVisible(shown);
        // The margin below the status line goes with it.
        if (QLayout* column = statusLine_->parentWidget()->layout()) {
            if (!shown) {
                margins_ = column->contentsMargins();
            }
            column->setContentsMargins(shown ? margins_ : QMargins());
        }
    }

    DocumentWindow& window_;
    QAction* full_;
    QPointer<StatusLine> statusLine_;
    QRect before_;
    QMargins margins_;
};

}  // namespace

void addFullScreen(DocumentWindow& window, QMenu* viewMenu) {
    QAction* full =
        window.addCommand(viewMenu, ViewMenu::tr("&Full Screen"), {QKeySequence(Qt::Key_F11)});
    full->setCheckable(true);
    full->setObjectName(QStringLiteral("actionFullScreen"));
    auto* fullScreen = new FullScreen(window, full);
    // Escape leaves full screen; otherwise it stays the view's key.
    auto* leave = new QAction(&window);
    leave->setShortcut(QKeySequence(Qt::Key_Escape));
    leave->setEnabled(false);
    window.addAction(leave);
    QObject::connect(full, &QAction::toggled, fullScreen, [fullScreen, leave](bool on) {
        fullScreen->set(on);
        leave->setEnabled(on);
    });
    QObject::connect(leave, &QAction::triggered, full, [full] { full->setChecked(false); });
}
