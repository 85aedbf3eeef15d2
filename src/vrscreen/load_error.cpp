// SPDX-License-Identifier: MIT
#include "vrscreen/load_error.h"

namespace vrs {

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

RefusalWords refusalWords(const VirtualScreenInfo& info) {
    const RowLayout& l = info.layout;
    const auto n = [](auto value) { return std::to_string(value); };
    switch (info.error) {
        case LoadError::None:
        case LoadError::ChangedWhileRead:
            return {};
        case LoadError::TooShortForHeader:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "it holds %1 bytes, but a virtual-screen file starts "
                                       "with a header of %2 bytes"),
                    {grouped(info.fileSize), n(kHeaderSize)}};
        case LoadError::OldVersion:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "it is of format version %1, and only version %2 and "
                                       "later can be read"),
                    {n(info.version), n(kMinimumVersion)}};
        case LoadError::EmptyBounds:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "the header's picture rectangle is empty (%1 x %2 "
                                       "pixels), so there is no picture in it"),
                    {n(l.width), n(l.height)}};
        case LoadError::ZeroSize:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "the header promises a picture of %1 x %2 pixels, so "
                                       "there is no picture in it"),
                    {n(l.width), n(l.height)}};
        case LoadError::StrideTooSmall:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "the header gives rows of %1 bytes, but a row of %2 "
                                       "pixels of %3 bits takes %4 bytes"),
                    {grouped(l.stride), n(l.width), n(l.depth), grouped(l.rowPixelBytes())}};
        case LoadError::TruncatedRows:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "the header promises %1 x %2 pixels of %3 bits (%4 bytes "
                                       "of rows) but only %5 bytes follow it"),
                    {n(l.width), n(l.height), n(l.depth), grouped(info.bytesNeeded - kHeaderSize),
                     grouped(info.fileSize - kHeaderSize)}};
        case LoadError::TooLarge:
            if (info.bitmapBytes == 0) {
                return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                           "the header promises %1 x %2 pixels of %3 bits, more "
                                           "than any computer's memory can hold"),
                        {n(l.width), n(l.height), n(l.depth)}};
            }
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "the header promises %1 x %2 pixels, which would take %3 "
                                       "bytes of memory, far more than a file of %4 bytes can "
                                       "fill"),
                    {n(l.width), n(l.height), grouped(info.bitmapBytes), grouped(info.fileSize)}};
        case LoadError::OtherFormat: {
            std::vector<std::string> name{std::string(pictureFormatName(info.format))};
            if (isDocumentFormat(info.format)) {
                return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                           "it is a %1 document, not a virtual-screen file"),
                        name};
            }
            return {
                VRS_TRANSLATE_NOOP("LoadRefusal", "it is a %1 picture, not a virtual-screen file"),
                name};
        }
        case LoadError::NotVirtualScreen:
            return {VRS_TRANSLATE_NOOP("LoadRefusal",
                                       "it is not a virtual-screen file (it starts with the "
                                       "bytes %1)"),
                    {describeFirstBytes(info)}};
    }
    return {VRS_TRANSLATE_NOOP("LoadRefusal", "the file is damaged"), {}};
}

std::string fillIn(std::string_view text, const std::vector<std::string>& figures) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto figure = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && figure < figures.size()) {
            out += figures[figure];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string describeLoadError(const VirtualScreenInfo& info) {
    if (info.error == LoadError::None) {
        return {};
    }
    if (info.error == LoadError::ChangedWhileRead) {
        return "changed while it was being read";
    }
    const RefusalWords words = refusalWords(info);
    return "This file can't be read: " + fillIn(words.reason, words.figures) + ".";
}

}  // namespace vrs
