// SPDX-License-Identifier: MIT
// Why an export did not produce its file, as a value, and the one place that
// words it for the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/export_format.h"

namespace vrs {

enum class ExportError {
    None,
    UnknownExtension,  // the extension is not in the table: nothing converted
    ConversionFailed,  // an encoder could not convert the picture
    TooLarge,          // the format cannot hold a picture this size: see width, height, format
    EmptyPicture,      // a side is 0 (a view reduced to nothing): see width, height
    WriteFailed,       // the file system refused: see ExportResult::sysError
};

struct ExportResult {
    ExportError error = ExportError::None;
    int sysError = 0;        // errno of the failed system call, for WriteFailed
    std::string path;        // the path that was (or would have been) written
    std::int64_t width = 0;  // the picture's size, for TooLarge and EmptyPicture
    std::int64_t height = 0;
    ImageFormat format = ImageFormat::Jpeg;  // the format, for TooLarge
    bool ok() const { return error == ExportError::None; }
};

// The message that tells the user what went wrong; "" for success.
// ConversionFailed is worded "This big picture couldn't be converted.";
// TooLarge says the same and adds the format's limit and the picture's size;
// EmptyPicture gives the size that has no pixels.
std::string describeExportResult(const ExportResult& result);
// The same, with every name (the path, its folder, its extension) as
// `showName` shows it (vrstool escapes control characters in names).
using ShowName = std::string (*)(std::string_view name);
std::string describeExportResultShown(const ExportResult& result, ShowName showName);

}  // namespace vrs
