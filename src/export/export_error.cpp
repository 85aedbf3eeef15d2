// SPDX-License-Identifier: MIT
#include "export/export_error.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "export/export_format.h"
#include "platform/output_target.h"
#include "platform/regular_file.h"

namespace vrs {
namespace {

std::string plainName(std::string_view name) {
    return std::string(name);
}

std::string quoted(std::string_view s, ShowName showName) {
    return "\u201C" + showName(s) + "\u201D";
}

std::string writeReason(const ExportResult& r, ShowName show) {
    switch (r.sysError) {
        case ENOSPC:
            return "the disk is full";
        case EDQUOT:
            return "your disk quota is used up";
        case EROFS:
            return "the disk is read-only";
        case EACCES:
        case EPERM:
            return "the folder " + quoted(folderOf(r.path), show) + " is not writable";
        case ENOENT:
            return "the folder " + quoted(folderOf(r.path), show) + " does not exist";
        case ENOTDIR:
            return "part of the path is not a folder";
        case EISDIR:
            return "a folder of that name is there";
        case ENAMETOOLONG:
            return "the name is too long";
        case EFBIG:
            return "the file would be too large for this disk";
        case EIO:
            return "the disk reported an input/output error";
        case kNotRegularFile:
            return "it is not a regular file (a socket or a block device), so it is not replaced";
        default: {
            char buffer[256];
            // The GNU strerror_r returns its text, in buffer or static.
            return strerror_r(r.sysError, buffer, sizeof buffer);
        }
    }
}

}  // namespace

std::string describeExportResult(const ExportResult& r) {
    return describeExportResultShown(r, plainName);
}

std::string describeExportResultShown(const ExportResult& r, ShowName show) {
    switch (r.error) {
        case ExportError::None:
            return {};
        case ExportError::UnknownExtension:
            return "The picture was not saved: " + quoted(pathExtension(r.path), show) +
                   " is not one of " + extensionList() + " (upper and lower case matter).";
        case ExportError::ConversionFailed:
            return "This big picture couldn't be converted.";
        case ExportError::TooLarge: {
            const FormatInfo& f = formatInfo(r.format);
            return "This big picture couldn't be converted: " + std::string(f.title) +
                   " holds at most " + std::to_string(f.largestSide) + " pixels a side" +
                   (f.largestFile.empty() ? "" : " and " + std::string(f.largestFile)) +
                   ", and it is " + std::to_string(r.width) + " x " + std::to_string(r.height) +
                   ".";
        }
        case ExportError::EmptyPicture:
            return "This picture couldn't be converted: it is " + std::to_string(r.width) + " x " +
                   std::to_string(r.height) + " pixels, and a picture needs one pixel a side.";
        case ExportError::WriteFailed:
            return "The picture could not be saved to " + quoted(r.path, show) + ": " +
                   writeReason(r, show) + ".";
    }
    return {};
}

}  // namespace vrs
