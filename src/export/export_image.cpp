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

std::string_view conversionTitle(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tiff:
            return {};  // "make tiff data" is already up
        case ImageFormat::Jpeg:
            return "convert to jpeg data";
        case ImageFormat::Bmp:
            return "convert to bitmap data";
        case ImageFormat::Gif:
            return "convert to gif data";
        case ImageFormat::Png:
            return "convert to png data";
    }
    return {};
}

}  // namespace

ExportResult exportRows(RowSource& source, const std::string& path, std::int64_t progress,
                        Host& host, FileOps& ops) noexcept {
    ExportResult result;
    try {
        Steps steps(host, progress);
        result.path = exportPath(path);
        const std::optional<ImageFormat> format = formatForExtension(pathExtension(result.path));
        if (!format) {
            result.error = ExportError::UnknownExtension;
        } else {
            const std::string_view title = conversionTitle(*format);
            if (!title.empty()) {
                steps.show(title);
            }
            result = writeImageFile(source, result.path, *format, ops,
                                    [&steps] { steps.show("write to file"); });
        }
        if (!result.ok()) {
            host.alert(describeExportResult(result));
        }
    } catch (const std::exception&) {
        result.error = ExportError::ConversionFailed;
    }
    return result;
}

ExportResult writeImageFile(RowSource& source, const std::string& path, ImageFormat format,
                            FileOps& ops, const std::function<void()>& beforeCommit) noexcept {
    ExportResult result{ExportError::None, 0, path};
    AtomicFile file(ops);
    int error = file.open(path);
    if (error == 0) {
        if (!encodeImage(format, source, file)) {
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

ExportResult exportImage(const Image& image, const std::string& path, std::int64_t progress,
                         Host& host, FileOps& ops) noexcept {
    const PlanarBitmap* bitmap = image.rep().get();
    if (bitmap == nullptr) {
        ExportResult result{ExportError::ConversionFailed, 0, path};
        host.alert(describeExportResult(result));
        return result;
    }
    BitmapRowSource source(*bitmap);
    return exportRows(source, path, progress, host, ops);
}

}  // namespace vrs
