// SPDX-License-Identifier: MIT
#include "app/error_text.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include "export/export_format.h"
#include "platform/output_target.h"
#include "platform/regular_file.h"
#include "vrscreen/load_error.h"

namespace {

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
    // The cause's words from the core's catalogue, translated, its figures filled in.
    const vrs::RefusalWords words = vrs::refusalWords(info);
    const QString reason = QCoreApplication::translate(vrs::kRefusalContext, words.reason);
    return tr("The file \"%1\" can't be read: %2.")
        .arg(name, QString::fromStdString(vrs::fillIn(reason.toStdString(), words.figures)));
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
