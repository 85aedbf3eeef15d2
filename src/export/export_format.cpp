#include "export/export_format.h"

#include <array>
#include <utility>

namespace vrs {
namespace {

constexpr std::array<std::pair<std::string_view, ImageFormat>, 10> kTable{{
    {"tiff", ImageFormat::Tiff},
    {"tif", ImageFormat::Tiff},
    {"jpeg", ImageFormat::Jpeg},
    {"jpg", ImageFormat::Jpeg},
    {"bmp", ImageFormat::Bmp},
    {"BMP", ImageFormat::Bmp},
    {"gif", ImageFormat::Gif},
    {"GIF", ImageFormat::Gif},
    {"png", ImageFormat::Png},
    {"PNG", ImageFormat::Png},
}};

std::string_view lastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string_view pathExtension(std::string_view path) {
    const std::string_view name = lastComponent(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return name.substr(dot + 1);
}

std::optional<ImageFormat> formatForExtension(std::string_view extension) {
    for (const auto& [name, format] : kTable) {
        if (name == extension) {
            return format;
        }
    }
    return std::nullopt;
}

std::string_view acceptedExtensionList() {
    return "tiff, tif, jpeg, jpg, bmp, BMP, gif, GIF, png, PNG";
}

std::string exportPath(std::string path) {
    // A path naming a folder ("dir/") is left for the write to refuse.
    if (!pathExtension(path).empty() || lastComponent(path).empty()) {
        return path;
    }
    // "picture." already ends in the dot that the extension needs.
    if (path.empty() || path.back() != '.') {
        path += '.';
    }
    path += "jpg";
    return path;
}

std::string_view formatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tiff:
            return "tiff";
        case ImageFormat::Jpeg:
            return "jpg";
        case ImageFormat::Bmp:
            return "bmp";
        case ImageFormat::Gif:
            return "gif";
        case ImageFormat::Png:
            return "png";
    }
    return "jpg";
}

}  // namespace vrs
