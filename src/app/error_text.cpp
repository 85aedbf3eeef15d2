// SPDX-License-Identifier: MIT
#include "app/error_text.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include "export/export_format.h"
#include "platform/output_target.h"
#include "platform/regular_file.h"

namespace {

// 1572864 -> "1,572,864".
QString grouped(std::uint64_t value) {
    QString digits = QString::number(value);
    for (auto at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, QLatin1Char(','));
    }
    return digits;
}

QString grouped(std::int64_t value) {
    if (value >= 0) {
        return grouped(static_cast<std::uint64_t>(value));
    }
    return QLatin1Char('-') + grouped(std::uint64_t{0} - static_cast<std::uint64_t>(value));
}

QString systemText(int error) {
    char buffer[256];
    // The GNU strerror_r returns its text, in buffer or static.
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

QString quoted(const QString& s) {
    return QStringLiteral("\u201C") + s + QStringLiteral("\u201D");
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

QString ErrorText::openFailure(const QString& name, int error) {
    switch (error) {
        case ENOENT:
            return tr("The file \"%1\" could not be opened: there is no such file.").arg(name);
        case EISDIR:
            return tr("\"%1\" could not be opened: it is a folder, not a file.").arg(name);
        case vrs::kNotRegularFile:
            return tr("\"%1\" could not be opened: it is not a regular file.").arg(name);
        case EACCES:
        case EPERM:
            return tr("The file \"%1\" could not be opened: you do not have permission to read it.")
                .arg(name);
        default:
            return tr("The file \"%1\" could not be opened: %2.").arg(name, systemText(error));
    }
}

QString ErrorText::loadRefusal(const vrs::VirtualScreenInfo& info, const QString& name) {
    if (info.error == vrs::LoadError::ChangedWhileRead) {
        return tr("The file \"%1\" changed while it was being read.").arg(name);
    }
    return tr("The file \"%1\" can't be read: %2.").arg(name, loadReason(info));
}

QString ErrorText::loadReason(const vrs::VirtualScreenInfo& info) {
    const vrs::RowLayout& l = info.layout;
    const auto header = static_cast<std::uint64_t>(vrs::kHeaderSize);
    switch (info.error) {
        case vrs::LoadError::TooShortForHeader:
            return tr("it holds %1 bytes, but a virtual-screen file starts with a header of %2 "
                      "bytes")
                .arg(grouped(info.fileSize), QString::number(header));
        case vrs::LoadError::OldVersion:
            return tr("it is of format version %1, and only version %2 and later can be read")
                .arg(info.version)
                .arg(vrs::kMinimumVersion);
        case vrs::LoadError::EmptyBounds:
            return tr("the header's picture rectangle is empty (%1 x %2 pixels), so there is no "
                      "picture in it")
                .arg(l.width)
                .arg(l.height);
        case vrs::LoadError::ZeroSize:
            return tr("the header promises a picture of %1 x %2 pixels, so there is no picture in "
                      "it")
                .arg(l.width)
                .arg(l.height);
        case vrs::LoadError::StrideTooSmall:
            return tr("the header gives rows of %1 bytes, but a row of %2 pixels of %3 bits takes "
                      "%4 bytes")
                .arg(grouped(l.stride), QString::number(l.width), QString::number(l.depth),
                     grouped(l.rowPixelBytes()));
        case vrs::LoadError::TruncatedRows:
            return tr("the header promises %1 x %2 pixels of %3 bits (%4 bytes of rows) but only "
                      "%5 bytes follow it")
                .arg(QString::number(l.width), QString::number(l.height), QString::number(l.depth),
                     grouped(info.bytesNeeded - header), grouped(info.fileSize - header));
        case vrs::LoadError::TooLarge:
            if (info.bitmapBytes == 0) {
                return tr("the header promises %1 x %2 pixels of %3 bits, more than any "
                          "computer's memory can hold")
                    .arg(l.width)
                    .arg(l.height)
                    .arg(l.depth);
            }
            return tr("the header promises %1 x %2 pixels, which would take %3 bytes of memory, "
                      "far more than a file of %4 bytes can fill")
                .arg(QString::number(l.width), QString::number(l.height), grouped(info.bitmapBytes),
                     grouped(info.fileSize));
        case vrs::LoadError::OtherFormat: {
            const std::string_view format = vrs::pictureFormatName(info.format);
            const QString name = QString::fromLatin1(format.data(), format.size());
            if (vrs::isDocumentFormat(info.format)) {
                return tr("it is a %1 document, not a virtual-screen file").arg(name);
            }
            return tr("it is a %1 picture, not a virtual-screen file").arg(name);
        }
        case vrs::LoadError::NotVirtualScreen:
            return tr("it is not a virtual-screen file (it starts with the bytes %1)")
                .arg(QString::fromStdString(vrs::describeFirstBytes(info)));
        case vrs::LoadError::None:
        case vrs::LoadError::ChangedWhileRead:
            break;
    }
    return tr("the file is damaged");
}

QString ErrorText::exportFailure(const vrs::ExportResult& r) {
    switch (r.error) {
        case vrs::ExportError::None:
            return {};
        case vrs::ExportError::UnknownExtension:
            return tr("The picture was not saved: %1 is not one of %2 (upper and lower case "
                      "matter).")
                .arg(quoted(fromPath(std::string(vrs::pathExtension(r.path)))),
                     QString::fromStdString(vrs::extensionList()));
        case vrs::ExportError::ConversionFailed:
            return tr("This big picture couldn't be converted.");
        case vrs::ExportError::TooLarge: {
            const vrs::FormatInfo& f = vrs::formatInfo(r.format);
            const QString title = QString::fromUtf8(f.title.data(), f.title.size());
            if (f.largestFile.empty()) {
                return tr("This big picture couldn't be converted: %1 holds at most %2 pixels a "
                          "side, and it is %3 x %4.")
                    .arg(title, QString::number(f.largestSide), QString::number(r.width),
                         QString::number(r.height));
            }
            return tr("This big picture couldn't be converted: %1 holds at most %2 pixels a side "
                      "and %3, and it is %4 x %5.")
                .arg(title, QString::number(f.largestSide),
                     QString::fromUtf8(f.largestFile.data(), f.largestFile.size()),
                     QString::number(r.width), QString::number(r.height));
        }
        case vrs::ExportError::EmptyPicture:
            return tr("This picture couldn't be converted: it is %1 x %2 pixels, and a picture "
                      "needs one pixel a side.")
                .arg(QString::number(r.width), QString::number(r.height));
        case vrs::ExportError::WriteFailed:
            return tr("The picture could not be saved to %1: %2.")
                .arg(quoted(fromPath(r.path)), writeReason(r));
    }
    return {};
}

QString ErrorText::writeOntoOpenFile(const QString& name, const QString& openName) {
    return tr("The picture was not saved to %1: that is the open file %2, which saving would "
              "destroy. Choose another name.")
        .arg(quoted(name), quoted(openName));
}

QString ErrorText::notLocalFile(const QString& url) {
    return tr("\"%1\" could not be opened: the viewer reads only files on this computer. Copy "
              "the file here first.")
        .arg(url);
}

QString ErrorText::noMemoryForPicture(const QString& decoderText, const QString& name,
                                      std::int64_t width, std::int64_t height) {
    return decoderText + QLatin1Char('\n') +
           tr("There is not enough memory for the picture of the file \"%1\", %2 x %3 pixels.")
               .arg(name, QString::number(width), QString::number(height));
}

QString ErrorText::writeReason(const vrs::ExportResult& r) {
    const QString folder = quoted(fromPath(vrs::folderOf(r.path)));
    switch (r.sysError) {
        case ENOSPC:
            return tr("the disk is full");
        case EDQUOT:
            return tr("your disk quota is used up");
        case EROFS:
            return tr("the disk is read-only");
        case EACCES:
        case EPERM:
            return tr("the folder %1 is not writable").arg(folder);
        case ENOENT:
            return tr("the folder %1 does not exist").arg(folder);
        case ENOTDIR:
            return tr("part of the path is not a folder");
        case EISDIR:
            return tr("a folder of that name is there");
        case ENAMETOOLONG:
            return tr("the name is too long");
        case EFBIG:
            return tr("the file would be too large for this disk");
        case EIO:
            return tr("the disk reported an input/output error");
        case vrs::kNotRegularFile:
            return tr(
                "it is not a regular file (a socket or a block device), so it is not "
                "replaced");
        default:
            return systemText(r.sysError);
    }
}
