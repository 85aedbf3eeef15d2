// SPDX-License-Identifier: MIT
// Opens a capture as Qt programs that tell files by their type do: the type
// from the MIME database, the image format plugin that reads that type, the
// picture through it. Built by package_test.sh against Qt 6 and Qt 5 and run
// on the installed packages.
//   read_capture FILE   prints "TYPE WIDTHxHEIGHT"; status 1 when unread
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: read_capture FILE\n", stderr);
        return 2;
    }
    const QCoreApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    const QList<QByteArray> formats = QImageReader::imageFormatsForMimeType(type.toLatin1());
    if (formats.isEmpty()) {
        std::fprintf(stderr, "read_capture: no image format plugin reads %s\n", qPrintable(type));
        return 1;
    }
    QImageReader reader(path, formats.first());
    const QImage image = reader.read();
    if (image.isNull()) {
        std::fprintf(stderr, "read_capture: %s\n", qPrintable(reader.errorString()));
        return 1;
    }
    std::printf("%s %dx%d\n", qPrintable(type), image.width(), image.height());
    return 0;
}
