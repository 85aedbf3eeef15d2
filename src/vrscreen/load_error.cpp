// SPDX-License-Identifier: MIT
// The words for every refusal of the loader, with the figures that explain it.
#include <string>

#include "vrscreen/loader.h"

namespace vrs {
namespace {

// 1572864 -> "1,572,864".
std::string grouped(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return digits;
}

std::string grouped(std::int64_t value) {
    if (value >= 0) {
        return grouped(static_cast<std::uint64_t>(value));
    }
    return "-" + grouped(std::uint64_t{0} - static_cast<std::uint64_t>(value));
}

std::string pixels(const VirtualScreenInfo& info) {
    return std::to_string(info.layout.width) + " x " + std::to_string(info.layout.height) +
           " pixels";
}

std::string pixelsOfDepth(const VirtualScreenInfo& info) {
    return pixels(info) + " of " + std::to_string(info.layout.depth) + " bits";
}

}  // namespace

std::string describeFirstBytes(const VirtualScreenInfo& info) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex;
    std::string text;
    bool printable = true;
    for (const std::uint8_t byte : info.firstBytes) {
        hex += hex.empty() ? "" : " ";
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
        printable = printable && byte >= 0x20 && byte < 0x7F;
        text += static_cast<char>(byte);
    }
    return printable ? hex + ", \"" + text + "\"" : hex;
}

namespace {

std::string reason(const VirtualScreenInfo& info) {
    switch (info.error) {
        case LoadError::None:
            return {};
        case LoadError::TooShortForHeader:
            return "it holds " + grouped(info.fileSize) +
                   " bytes, but a virtual-screen file starts with a header of " +
                   std::to_string(kHeaderSize) + " bytes";
        case LoadError::OldVersion:
            return "it is of format version " + std::to_string(info.version) +
                   ", and only version " + std::to_string(kMinimumVersion) +
                   " and later can be read";
        case LoadError::EmptyBounds:
            return "the header's picture rectangle is empty (" + pixels(info) +
                   "), so there is no picture in it";
        case LoadError::ZeroSize:
            return "the header promises a picture of " + pixels(info) +
                   ", so there is no picture in it";
        case LoadError::StrideTooSmall:
            return "the header gives rows of " + grouped(info.layout.stride) +
                   " bytes, but a row of " + std::to_string(info.layout.width) + " pixels of " +
                   std::to_string(info.layout.depth) + " bits takes " +
                   grouped(info.layout.rowPixelBytes()) + " bytes";
        case LoadError::TruncatedRows:
            return "the header promises " + pixelsOfDepth(info) + " (" +
                   grouped(info.bytesNeeded - kHeaderSize) + " bytes of rows) but only " +
                   grouped(info.fileSize - kHeaderSize) + " bytes follow it";
        case LoadError::TooLarge:
            if (info.bitmapBytes == 0) {
                return "the header promises " + pixelsOfDepth(info) +
                       ", more than any computer's memory can hold";
            }
            return "the header promises " + pixels(info) + ", which would take " +
                   grouped(info.bitmapBytes) + " bytes of memory, far more than a file of " +
                   grouped(info.fileSize) + " bytes can fill";
        case LoadError::OtherFormat:
            return "it is a " + std::string(pictureFormatName(info.format)) +
                   (isDocumentFormat(info.format) ? " document" : " picture") +
                   ", not a virtual-screen file";
        case LoadError::NotVirtualScreen:
            return "it is not a virtual-screen file (it starts with the bytes " +
                   describeFirstBytes(info) + ")";
        case LoadError::ChangedWhileRead:
            break;  // worded whole below
    }
    return "the file is damaged";
}

}  // namespace

std::string describeLoadError(const VirtualScreenInfo& info) {
    if (info.error == LoadError::None) {
        return {};
    }
    if (info.error == LoadError::ChangedWhileRead) {
        return "changed while it was being read";
    }
    return "This file can't be read: " + reason(info) + ".";
}

}  // namespace vrs
