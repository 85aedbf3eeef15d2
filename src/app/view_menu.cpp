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
#include <QPointer>
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

// What the inspector shows of a pixel: "x 1203, y 455   #1E1E2E", and for a
// file of 5 bits a channel the file's own values, "#F8F8F0 (31, 31, 30)".
void showPixel(QLabel* inspector, bool fiveBit, bool over, int x, int y, std::uint32_t rgb) {
    if (!over) {
        inspector->clear();
        return;
    }
    const QString colour = colourText(rgb);
    QString text = ViewMenu::tr("x %1, y %2").arg(x).arg(y) + QStringLiteral("   ") + colour;
    if (fiveBit) {
        text += QStringLiteral(" (%1, %2, %3)")
                    .arg((rgb >> 19) & 31)
                    .arg((rgb >> 11) & 31)
                    .arg((rgb >> 3) & 31);
    }
    inspector->setText(text);
    inspector->setProperty("colour", colour);
}

// The pixel inspector, left of the zoom level.
QLabel* addInspector(QHBoxLayout* row, QWidget* form, MyImageView* view) {
    auto* inspector = new QLabel(form);
    inspector->setObjectName(QStringLiteral("pixelInspector"));
    inspector->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    inspector->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    inspector->setMinimumWidth(0);
    row->addWidget(inspector);
    QObject::connect(view, &MyImageView::pointerPixel, inspector,
                     [inspector, view](bool over, int x, int y, std::uint32_t rgb) {
                         showPixel(inspector, view->fiveBitChannels(), over, x, y, rgb);
                     });
    QObject::connect(view, &MyImageView::bandSized, inspector, [inspector](int w, int h) {
        inspector->setText(ViewMenu::tr("%1 x %2").arg(w).arg(h));
    });
    return inspector;
}

// The zoom level at the right of the size line, in its row; null where the
// layout has no size line.
QLabel* addZoomLabel(MyDocument& document) {
    QLabel* sizeText = document.sizeText();
    MyImageView* view = document.view();
    QWidget* form = sizeText != nullptr ? sizeText->parentWidget() : nullptr;
    auto* column = form != nullptr ? qobject_cast<QBoxLayout*>(form->layout()) : nullptr;
    const int index = column != nullptr ? column->indexOf(sizeText) : -1;
    if (index < 0 || view == nullptr) {
        return nullptr;
    }
    auto* zoom = new QLabel(form);
    zoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Never wider than the window a small picture needs.
    zoom->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    zoom->setMinimumWidth(0);
    zoom->setIndent(sizeText->indent());
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    delete column->takeAt(index);
    row->addWidget(sizeText, 1);
    addInspector(row, form, view);
    row->addWidget(zoom);
    column->insertLayout(index, row);
    QObject::connect(view, &MyImageView::zoomChanged, zoom,
                     [zoom](double percent) { zoom->setText(zoomLevelText(percent)); });
    // The level may have been told before this label listened.
    if (view->zoomLevel() >= 0) {
        zoom->setText(zoomLevelText(view->zoomLevel()));
    }
    return zoom;
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
    if (pixels.isNull()) {
        // Panned or zoomed off the picture: the clipboard stays as it was.
        QMessageBox::information(
            &window, QString(),
            ViewMenu::tr("No part of the picture is shown: there is nothing to copy."));
        return;
    }
    QApplication::clipboard()->setImage(pixels);
}

// Full screen shows the view alone; leaving it gives the window back as it
// was. A window manager may take a window out of full screen by itself (its
// own key, another window going full screen): the menu item and the hidden
// bars follow it.
class FullScreen : public QObject {
  public:
    FullScreen(DocumentWindow& window, QAction* full, QLabel* sizeText, QLabel* zoom)
        : QObject(&window), window_(window), full_(full), sizeText_(sizeText), zoom_(zoom) {
        window.installEventFilter(this);
    }

    void set(bool on) {
        window_.menuBar()->setVisible(!on);
        showSizeLine(!on);
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
    void showSizeLine(bool shown) {
        if (sizeText_ == nullptr) {
            return;
        }
        sizeText_->setVisible(shown);
        if (zoom_ != nullptr) {
            zoom_->setVisible(shown);
        }
        if (auto* inspector = window_.findChild<QLabel*>(QStringLiteral("pixelInspector"))) {
            inspector->setVisible(shown);
        }
        // The margin below the size line goes with it.
        if (QLayout* column = sizeText_->parentWidget()->layout()) {
            if (!shown) {
                margins_ = column->contentsMargins();
            }
            column->setContentsMargins(shown ? margins_ : QMargins());
        }
    }

    DocumentWindow& window_;
    QAction* full_;
    QPointer<QLabel> sizeText_;
    QPointer<QLabel> zoom_;
    QRect before_;
    QMargins margins_;
};

void addFullScreen(DocumentWindow& window, MyDocument& document, QMenu* viewMenu, QLabel* zoom) {
    QAction* full =
        addCommand(window, viewMenu, ViewMenu::tr("&Full Screen"), {QKeySequence(Qt::Key_F11)});
    full->setCheckable(true);
    auto* fullScreen = new FullScreen(window, full, document.sizeText(), zoom);
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

void copyColour(DocumentWindow& window) {
    const auto* inspector = window.findChild<QLabel*>(QStringLiteral("pixelInspector"));
    const QString colour =
        inspector != nullptr ? inspector->property("colour").toString() : QString();
    if (colour.isEmpty()) {
        QMessageBox::information(&window, QString(),
                                 ViewMenu::tr("No colour to copy: point at the picture first."));
        return;
    }
    QApplication::clipboard()->setText(colour);
}

}  // namespace

QString colourText(std::uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xffffffu, 6, 16, QLatin1Char('0')).toUpper();
}

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
    for (QAction* needsPicture : {actual, in, out}) {
        window.addPictureCommand(needsPicture);
        needsPicture->setEnabled(document.fullImage() != nullptr);
    }
    if (view != nullptr) {
        QObject::connect(actual, &QAction::triggered, view, &MyImageView::actualSize);
        QObject::connect(in, &QAction::triggered, view, &MyImageView::zoomIn);
        QObject::connect(out, &QAction::triggered, view, &MyImageView::zoomOut);
    }
    QLabel* zoom = addZoomLabel(document);
    viewMenu->addSeparator();
    QAction* keepZoom = viewMenu->addAction(ViewMenu::tr("&Keep Zoom Across Files"));
    keepZoom->setObjectName(QStringLiteral("actionKeepZoom"));
    keepZoom->setCheckable(true);
    keepZoom->setChecked(MyDocument::keepZoomAcrossFiles());
    // Every window's item follows the one setting.
    QObject::connect(viewMenu, &QMenu::aboutToShow, keepZoom,
                     [keepZoom] { keepZoom->setChecked(MyDocument::keepZoomAcrossFiles()); });
    QObject::connect(keepZoom, &QAction::toggled, keepZoom, &MyDocument::setKeepZoomAcrossFiles);
    addFullScreen(window, document, viewMenu, zoom);

    auto* edit = new QMenu(ViewMenu::tr("&Edit"), window.menuBar());
    window.menuBar()->insertMenu(viewMenu->menuAction(), edit);
    QAction* copy =
        addCommand(window, edit, ViewMenu::tr("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
    window.addPictureCommand(copy);
    copy->setEnabled(document.fullImage() != nullptr);
    QObject::connect(copy, &QAction::triggered, &window,
                     [&window, &document] { copyShown(window, document); });
    QAction* colour = edit->addAction(ViewMenu::tr("Copy C&olour"));
    colour->setObjectName(QStringLiteral("actionCopyColour"));
    window.addPictureCommand(colour);
    colour->setEnabled(document.fullImage() != nullptr);
    QObject::connect(colour, &QAction::triggered, &window, [&window] { copyColour(window); });
}
