// SPDX-License-Identifier: MIT
// Exporting a picture: the file name's extension chooses the format, the
// picture is converted row by row straight into a temporary file beside the
// target, which then replaces the target. While a file loaded slowly
// (progress counter 2 or more) a progress window names each step. Every
// failure is told to the user through Host::alert, once, in the words of the
// caller's wording function (vrstool's English by default; the viewer passes
// its translated one), and returned.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "decode/image.h"
#include "decode/row_source.h"
#include "export/encoders.h"
#include "export/export_error.h"
#include "export/export_format.h"
#include "platform/atomic_file.h"
#include "platform/host.h"

namespace vrs {

// Words a failed export for the user.
using ExportWording = std::function<std::string(const ExportResult& result)>;

// Exports the full image to `path` ("picture" becomes "picture.jpg").
ExportResult exportImage(const Image& image, const std::string& path, std::int64_t progress,
                         Host& host, FileOps& ops = systemFileOps(),
                         const ExportWording& wording = describeExportResult) noexcept;

// The same for any row source: vrstool streams rows from a file this way.
ExportResult exportRows(RowSource& source, const std::string& path, std::int64_t progress,
                        Host& host, FileOps& ops = systemFileOps(),
                        const EncodeOptions& options = {},
                        const ExportWording& wording = describeExportResult) noexcept;

// Converts to `format` and writes `path` atomically, with no window and no
// message. beforeCommit, when set, runs once the picture is converted.
ExportResult writeImageFile(RowSource& source, const std::string& path, ImageFormat format,
                            FileOps& ops = systemFileOps(),
                            const std::function<void()>& beforeCommit = {},
                            const EncodeOptions& options = {}) noexcept;

// The same to an open descriptor (standard output), written straight
// through and left open; `name` stands for it in messages.
ExportResult writeImageToDescriptor(RowSource& source, int fd, const std::string& name,
                                    ImageFormat format, FileOps& ops = systemFileOps(),
                                    const EncodeOptions& options = {}) noexcept;

// EmptyPicture when a side is 0, TooLarge when `format` cannot hold a width x
// height picture, before anything is allocated for it; otherwise a success. `path` names the
// output.
ExportResult checkPictureSize(ImageFormat format, std::int64_t width, std::int64_t height,
                              const std::string& path);

}  // namespace vrs
