// Why an export did not produce its file, as a value, and the one place that
// words it for the user.
#pragma once

#include <string>

namespace vrs {

enum class ExportError {
    None,
    UnknownExtension,  // the extension is not in the table: nothing converted
    ConversionFailed,  // an encoder could not convert the picture
    WriteFailed,       // the file system refused: see ExportResult::sysError
};

struct ExportResult {
    ExportError error = ExportError::None;
    int sysError = 0;  // errno of the failed system call, for WriteFailed
    std::string path;  // the path that was (or would have been) written
    bool ok() const { return error == ExportError::None; }
};

// The message that tells the user what went wrong; "" for success.
// ConversionFailed is worded "This big picture couldn't be converted.".
std::string describeExportResult(const ExportResult& result);

}  // namespace vrs
