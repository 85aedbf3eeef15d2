// SPDX-License-Identifier: MIT
#include "app/print_operation.h"

#include <QPainter>
#include <algorithm>

#include "view/my_image_view.h"

bool runPrintPass(MyImageView& view, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double vw = view.width();
    const double vh = view.height();
    if (vw > 0 && vh > 0 && !page.isEmpty()) {
        const double scale = std::min(page.width() / vw, page.height() / vh);
        painter.translate((page.width() - vw * scale) / 2, (page.height() - vh * scale) / 2);
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(0, 0, vw, vh));
        view.drawRect(painter, vrs::NSMakeRect(0, 0, vw, vh), MyImageView::Pass::Print);
    }
    return painter.end();
}
