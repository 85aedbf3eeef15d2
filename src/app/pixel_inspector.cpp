// SPDX-License-Identifier: MIT
#include "app/pixel_inspector.h"

#include "app/menus_tr.h"
#include "view/my_image_view.h"

QString colourText(std::uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xffffffu, 6, 16, QLatin1Char('0')).toUpper();
}

PixelInspector::PixelInspector(MyImageView* view, QObject* parent) : QObject(parent), view_(view) {
    connect(view, &MyImageView::pointerPixel, this, &PixelInspector::pixel);
    connect(view, &MyImageView::bandSized, this, &PixelInspector::band);
}

void PixelInspector::pixel(bool over, int x, int y, std::uint32_t rgb) {
    texts_.clear();
    if (over) {
        colour_ = colourText(rgb);
        const QString where = ViewMenu::tr("x %1, y %2").arg(x).arg(y) + QStringLiteral("   ");
        if (compared_) {
            const QString both = compared_(x, y);
            texts_ = QStringList{where + both, both};
            emit changed();
            return;
        }
        if (view_ && view_->fiveBitChannels()) {
            texts_.append(where + colour_ +
                          QStringLiteral(" (%1, %2, %3)")
                              .arg((rgb >> 19) & 31)
                              .arg((rgb >> 11) & 31)
                              .arg((rgb >> 3) & 31));
        }
        texts_.append(where + colour_);
        texts_.append(colour_);
    }
    emit changed();
}

void PixelInspector::band(int width, int height) {
    texts_ = QStringList{ViewMenu::tr("%1 x %2").arg(width).arg(height)};
    emit changed();
}
