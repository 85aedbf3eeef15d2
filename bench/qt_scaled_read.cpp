// SPDX-License-Identifier: MIT
// qt_scaled_read FILE SIDE: reads FILE with QImageReader at SIDE x SIDE, as a
// Qt file manager asks for a thumbnail (for bench/hostile.sh). Exit status 0
// when it gave a picture.
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: qt_scaled_read FILE SIDE\n", stderr);
        return 2;
    }
    const int side = std::atoi(argv[2]);
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(side, side));
    return reader.read().isNull() ? 1 : 0;
}
