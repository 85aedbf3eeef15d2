// SPDX-License-Identifier: MIT
// A document's window: the layout "MyDocument" as its central widget, with
// the status line below the view; the menus' commands, and files dropped
// onto it (with Shift held, one file to compare the picture with).
#pragma once

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSize>

class QAction;
class QLabel;
class QMenu;
class MyImageView;
class StatusLine;

class DocumentWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit DocumentWindow(QWidget* parent = nullptr);

    // The layout's image view and size line, in the central widget; the
    // size line goes into the status line.
    void setParts(MyImageView* view, QLabel* sizeText);
    StatusLine* statusLine() const;

    // What a command needs to be enabled.
    enum class Needs { Nothing, Picture };
    // Adds a command to `menu`, and to the window, so that its keys work
    // while the menu bar is hidden (full screen). One that needs a picture
    // is enabled with setPictureCommandsEnabled.
    QAction* addCommand(QMenu* menu, const QString& text, const QList<QKeySequence>& keys = {},
                        Needs needs = Needs::Nothing);
    void setPictureCommandsEnabled(bool enabled);

    // Sizes the window so that the view shows an image of w x h points
    // whole, as far as the screen's available area allows.
    void sizeToImage(double width, double height);

  signals:
    // Local paths, as bytes.
    void filesDropped(const QList<QByteArray>& paths);
    // The first of the files dropped with Shift held.
    void compareDropped(const QByteArray& path);
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QPointer<MyImageView> view_;
    QPointer<QLabel> sizeText_;
    QPointer<StatusLine> statusLine_;
    QList<QPointer<QAction>> pictureCommands_;
    bool pictureCommandsEnabled_ = true;
};

// The view size that shows an image of w x h whole inside the view's 2-point
// border on every side, scaled down with its proportions kept when it does
// not fit in `room`.
QSize viewSizeForImage(double width, double height, QSize room);

// The room a document window's contents may take on a screen: its available
// area less the window manager's frame. Where the window system does not tell
// clients about panels (`panelsUntold`), an available area equal to the whole
// screen is no sign that there are none, and room is kept for one.
QSize windowRoom(const QRect& geometry, const QRect& available, bool panelsUntold);
