// SPDX-License-Identifier: MIT
// A document's window: the layout "MyDocument" as its central widget, the
// menus, and files dropped onto it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QSize>

class DocumentWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit DocumentWindow(QWidget* parent = nullptr);

    // Sizes the window so that the view shows an image of w x h points
    // whole, as far as the screen's available area allows.
    void sizeToImage(double width, double height);

  signals:
    // Local paths, as bytes.
    void filesDropped(const QList<QByteArray>& paths);
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The view size that shows an image of w x h whole inside the view's 2-point
// border on every side, scaled down with its proportions kept when it does
// not fit in `room`.
QSize viewSizeForImage(double width, double height, QSize room);
