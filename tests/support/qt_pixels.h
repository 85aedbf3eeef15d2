// SPDX-License-Identifier: MIT
// Pixels of a decoded QImage for comparisons in tests. Header-only: only test
// programs that link Qt include it.
#pragma once

#include <QImage>

namespace vrs::testing {

// QImage::convertToFormat spreads large pictures over Qt's thread pool,
// which ThreadSanitizer cannot see into; this copies pixel by pixel instead.
inline QImage toRgb888(const QImage& image) {
    if (image.isNull()) {
        return image;
    }
    QImage out(image.size(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            line[3 * x] = static_cast<uchar>(qRed(p));
            line[3 * x + 1] = static_cast<uchar>(qGreen(p));
            line[3 * x + 2] = static_cast<uchar>(qBlue(p));
        }
    }
    return out;
}

}  // namespace vrs::testing
