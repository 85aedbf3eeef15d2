// SPDX-License-Identifier: MIT
#include "export/export_image.h"

#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "export/encoders.h"
#include "export/export_format.h"

namespace vrs {
namespace {

// The progress window of a slow document, or none: every call is then a no-op.
class Steps {
  public:
    Steps(Host& host, std::int64_t progress) {
        if (progress >= 2) {
            window_ = host.makeProgressWindow();
        }
        if (window_) {
            show("make tiff data");
            window_->setIndeterminate(true);
            window_->startAnimation();
        }
    }
    void show(std::string_view title) {
        if (window_) {
            window_->setTitle(title);
            window_->display();
        }
    }

  private:
    std::unique_ptr<ProgressWindow> window_;
};

// Opens `file` for the output; returns 0 or an errno.
using OpenOutput = std::function<int(AtomicFile& file, bool seeks)>;

ExportResult writeFile(RowSource& source, ExportResult result, ImageFormat format, FileOps& ops,
                       const OpenOutput& open, const std::function<void()>& beforeCommit,
                       const EncodeOptions& options);

}  // namespace

ExportResult exportRows(RowSource& source, const std::string& path, std::int64_t progress,
                        Host& host, FileOps& ops, const EncodeOptions& options,
                        const ExportWording& wording) noexcept {
    ExportResult result;
    try {
        Steps steps(host, progress);
        result.path = exportPath(path);
        const std::optional<ImageFormat> format = formatForExtension(exportExtension(result.path));
        if (!format) {
            result.error = ExportError::UnknownExtension;
        } else {
            const std::string_view title = formatInfo(*format).progressTitle;
            if (!title.empty()) {
                steps.show(title);
            }
            result = writeImageFile(
                source, result.path, *format, ops, [&steps] { steps.show("write to file"); },
                options);
        }
        if (!result.ok()) {
            host.alert(wording(result));
        }
    } catch (const std::exception&) {
        // Memory ran out for a message or a window: the conversion is lost.
        result.error = ExportError::ConversionFailed;
        try {
            host.alert(wording(result));
        } catch (const std::exception&) {
            // Nothing is left to tell the user with; the result says it.
        }
    }
    return result;
}

ExportResult writeImageFile(RowSource& source, const std::string& path, ImageFormat format,
                            FileOps& ops, const std::function<void()>& beforeCommit,
                            const EncodeOptions& options) noexcept {
    ExportResult result;
    try {
        result.path = path;
        const auto open = [&path](AtomicFile& file, bool seeks) { return file.open(path, seeks); };
        return writeFile(source, result, format, ops, open, beforeCommit, options);
    } catch (const std::exception&) {
        result.error = ExportError::ConversionFailed;  // the temporary file is gone with its writer
        return result;
    }
}

ExportResult writeImageToDescriptor(RowSource& source, int fd, const std::string& name,
                                    ImageFormat format, FileOps& ops,
                                    const EncodeOptions& options) noexcept {
    ExportResult result;
    try {
        result.path = name;
        const auto open = [fd](AtomicFile& file, bool seeks) {
            return file.openDescriptor(fd, seeks);
        };
        return writeFile(source, result, format, ops, open, {}, options);
    } catch (const std::exception&) {
        result.error = ExportError::ConversionFailed;
        return result;
    }
}

ExportResult checkPictureSize(ImageFormat format, std::int64_t width, std::int64_t height,
                              const std::string& path) {
    ExportResult result;
    result.path = path;
    if (width <= 0 || height <= 0) {
        result.error = ExportError::EmptyPicture;
        result.width = width;
        result.height = height;
    } else if (!pictureFits(format, width, height)) {
        result.error = ExportError::TooLarge;
        result.width = width;
        result.height = height;
        result.format = format;
    }
    return result;
}

namespace {

ExportResult writeFile(RowSource& source, ExportResult result, ImageFormat format, FileOps& ops,
                       const OpenOutput& open, const std::function<void()>& beforeCommit,
                       const EncodeOptions& options) {
    if (const ExportResult r =
            checkPictureSize(format, source.width(), source.height(), result.path);
        !r.ok()) {
        return r;
    }
    AtomicFile file(ops);
    int error = open(file, formatInfo(format).seeks);
    if (error == 0) {
        if (!encodeImage(format, source, file, options)) {
            error = file.error();
            result.error = error != 0 ? ExportError::WriteFailed : ExportError::ConversionFailed;
            result.sysError = error;
            return result;  // the temporary file goes with `file`
        }
        if (beforeCommit) {
            beforeCommit();
        }
        error = file.commit();
    }
    if (error != 0) {
        result.error = ExportError::WriteFailed;
        result.sysError = error;
    }
    return result;
}

}  // namespace

ExportResult exportImage(const Image& image, const std::string& path, std::int64_t progress,
                         Host& host, FileOps& ops, const ExportWording& wording) noexcept {
    const PlanarBitmap* bitmap = image.rep().get();
    if (bitmap == nullptr) {
        // An image without its bitmap has no pixels: an empty source fails to convert.
        const std::shared_ptr<PlanarBitmap> none = MakeNewImageRep(0, 0);
        if (!none) {
            return {ExportError::ConversionFailed, 0, {}};
        }
        BitmapRowSource empty(*none);
        return exportRows(empty, path, progress, host, ops, {}, wording);
    }
    BitmapRowSource source(*bitmap);
    return exportRows(source, path, progress, host, ops, {}, wording);
}

}  // namespace vrs
