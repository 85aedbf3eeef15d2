// SPDX-License-Identifier: MIT
#include "app/view_menu.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "app/document_window.h"
#include "app/my_document.h"

namespace {

// A copy holds at most 8192 x 8192 pixels (256 MiB at 4 bytes a pixel): a
// 16000 x 12000 picture, 768 MiB, is better saved than pasted.
constexpr std::int64_t kCopyLimit = std::int64_t{8192} * 8192;
// Time a window manager is given to put a window into full screen.
constexpr int kWindowManagerTime = 300;

// The translation context of this file's texts, found by lupdate.
struct ViewMenu {
    Q_DECLARE_TR_FUNCTIONS(ViewMenu)
};

QAction* addCommand(DocumentWindow& window, QMenu* menu, const QString& text,
                    const QList<QKeySequence>& keys) {
    QAction* action = menu->addAction(text);
    action->setShortcuts(keys);
    // Also on the window, so that the keys work while the menu bar is hidden.
    window.addAction(action);
    return action;
}

// The zoom level at the right of the size line, in its row.
void addZoomLabel(MyDocument& document) {
    QLabel* sizeText = document.sizeText();
    MyImageView* view = document.view();
    QWidget* form = sizeText != nullptr ? sizeText->parentWidget() : nullptr;
    auto* column = form != nullptr ? qobject_cast<QBoxLayout*>(form->layout()) : nullptr;
    const int index = column != nullptr ? column->indexOf(sizeText) : -1;
    if (index < 0 || view == nullptr) {
        return;
    }
    auto* zoom = new QLabel(form);
    zoom->setObjectName(QStringLiteral("zoomLevel"));
    zoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    zoom->setIndent(sizeText->indent());
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    delete column->takeAt(index);
    row->addWidget(sizeText, 1);
    row->addWidget(zoom);
    column->insertLayout(index, row);
    QObject::connect(view, &MyImageView::zoomChanged, zoom,
                     [zoom](double percent) { zoom->setText(zoomLevelText(percent)); });
    // The level may have been told before this label listened.
    if (view->zoomLevel() >= 0) {
        zoom->setText(zoomLevelText(view->zoomLevel()));
    }
}

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
    if (!pixels.isNull()) {
        QApplication::clipboard()->setImage(pixels);
    }
}

// Full screen shows the view alone; leaving it gives the window back as it was.
void setFullScreen(DocumentWindow& window, MyDocument& document, bool on) {
    window.menuBar()->setVisible(!on);
    if (QLabel* sizeText = document.sizeText()) {
        QWidget* form = sizeText->parentWidget();
        sizeText->setVisible(!on);
        if (auto* zoom = form->findChild<QLabel*>(QStringLiteral("zoomLevel"))) {
            zoom->setVisible(!on);
        }
        // The margin below the size line goes with it.
        if (QLayout* column = form->layout()) {
            const char* const kMargins = "marginsBeforeFullScreen";
            if (on) {
                column->setProperty(kMargins, QVariant::fromValue(column->contentsMargins()));
                column->setContentsMargins(0, 0, 0, 0);
            } else {
                column->setContentsMargins(column->property(kMargins).value<QMargins>());
            }
        }
    }
    const char* const kBefore = "geometryBeforeFullScreen";
    if (!on) {
        window.showNormal();
        window.setGeometry(window.property(kBefore).toRect());
        return;
    }
    window.setProperty(kBefore, window.geometry());
    window.showFullScreen();
    // Without a window manager that honours full screen, nothing resizes the
    // window: it is given the screen by hand.
    QTimer::singleShot(kWindowManagerTime, &window, [&window] {
        const QScreen* screen = window.screen();
        const auto* full = window.findChild<QAction*>(QStringLiteral("actionFullScreen"));
        if (screen != nullptr && full != nullptr && full->isChecked() &&
            window.geometry() != screen->geometry()) {
            window.setGeometry(screen->geometry());
        }
    });
}

// A window manager may take a window out of full screen by itself (its own
// key, another window going full screen): the menu item and the hidden bars
// follow it.
class FullScreenFollower : public QObject {
  public:
    FullScreenFollower(QWidget* window, QAction* full) : QObject(window), full_(full) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && full_->isChecked() &&
            !static_cast<QWidget*>(watched)->isFullScreen()) {
            full_->setChecked(false);
        }
        return false;
    }

  private:
    QAction* full_;
};

void addFullScreen(DocumentWindow& window, MyDocument& document, QMenu* viewMenu) {
    QAction* full =
        addCommand(window, viewMenu, ViewMenu::tr("&Full Screen"), {QKeySequence(Qt::Key_F11)});
    full->setObjectName(QStringLiteral("actionFullScreen"));
    full->setCheckable(true);
    // Escape leaves full screen; otherwise it stays the view's key.
    auto* leave = new QAction(&window);
    leave->setShortcut(QKeySequence(Qt::Key_Escape));
    leave->setEnabled(false);
    window.addAction(leave);
    QObject::connect(full, &QAction::toggled, &window, [&window, &document, leave](bool on) {
        setFullScreen(window, document, on);
        leave->setEnabled(on);
    });
    QObject::connect(leave, &QAction::triggered, full, [full] { full->setChecked(false); });
    window.installEventFilter(new FullScreenFollower(&window, full));
}

}  // namespace

QString zoomLevelText(double percent) {
    const int decimals = percent < 10 ? 1 : 0;
    return ViewMenu::tr("%1 %").arg(QLocale().toString(percent, 'f', decimals));
}

void addViewCommands(DocumentWindow& window, MyDocument& document, QMenu* viewMenu) {
    MyImageView* view = document.view();
    viewMenu->addSeparator();
    QAction* actual = addCommand(window, viewMenu, ViewMenu::tr("&Actual Size"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_0)});
    QAction* in =
        addCommand(window, viewMenu, ViewMenu::tr("Zoom &In"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction* out = addCommand(window, viewMenu, ViewMenu::tr("Zoom &Out"),
                              {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    if (view != nullptr) {
        QObject::connect(actual, &QAction::triggered, view, &MyImageView::actualSize);
        QObject::connect(in, &QAction::triggered, view, &MyImageView::zoomIn);
        QObject::connect(out, &QAction::triggered, view, &MyImageView::zoomOut);
    }
    viewMenu->addSeparator();
    addFullScreen(window, document, viewMenu);

    auto* edit = new QMenu(ViewMenu::tr("&Edit"), window.menuBar());
    window.menuBar()->insertMenu(viewMenu->menuAction(), edit);
    QAction* copy =
        addCommand(window, edit, ViewMenu::tr("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
    copy->setObjectName(QStringLiteral("actionCopy"));
    copy->setEnabled(document.fullImage() != nullptr);
    QObject::connect(copy, &QAction::triggered, &window,
                     [&window, &document] { copyShown(window, document); });
    addZoomLabel(document);
}
