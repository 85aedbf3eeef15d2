// SPDX-License-Identifier: MIT
// The line below the picture: the size line (the window layout's label,
// with the picture's size, a refusal or a note about the file) and, at its
// right, the pixel inspector (pixel_inspector.h) and the zoom level
// ("100 %"). The size line has the room it needs first; the inspector and
// then the zoom level give way, with a shorter text or none, and never make
// the window wider: F3 fits a small picture whatever the pointer is over.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

class MyImageView;
class PixelInspector;

class StatusLine : public QWidget {
    Q_OBJECT

  public:
    // Takes `sizeText` out of its parent's layout into this line, which
    // takes its place there.
    StatusLine(QLabel* sizeText, MyImageView* view);

    PixelInspector* inspector() const { return inspector_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Places the three labels and picks the texts that fit.
    void arrange();

    QPointer<QLabel> sizeText_;
    QLabel* inspectorText_;
    QLabel* zoom_;
    PixelInspector* inspector_;
    int height_ = 0;  // the height last told to the layout
};

// The zoom level as the window shows it, "100 %".
QString zoomLevelText(double percent);
