// SPDX-License-Identifier: MIT
// The one catalogue of the loader's refusals: each cause's words, written
// once, in English, marked for translation, with the figures that explain
// it. vrstool and the image plugins fill the figures into the English
// (describeLoadError, loader.h), the viewer into its translation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vrscreen/loader.h"

// Marks `text` for translation in `context` and leaves it as it is, as Qt's
// QT_TRANSLATE_NOOP does; the build tells lupdate to find it as that one.
#define VRS_TRANSLATE_NOOP(context, text) text

namespace vrs {

// The translation context of the refusals' words.
inline constexpr char kRefusalContext[] = "LoadRefusal";

struct RefusalWords {
    // Why the file cannot be read, to follow its name ("it holds %1 bytes,
    // but ..."), with %1, %2 ... where the figures go; null for
    // ChangedWhileRead, which each program words whole, and for None.
    const char* reason = nullptr;
    std::vector<std::string> figures;  // as shown: "1,572,864"
};

RefusalWords refusalWords(const VirtualScreenInfo& info);

// `text` with %1 to %9 replaced by the figures, all in one pass: a figure
// that holds "%2" itself stays as it is.
std::string fillIn(std::string_view text, const std::vector<std::string>& figures);

// 1572864 -> "1,572,864".
std::string grouped(std::uint64_t value);
std::string grouped(std::int64_t value);

}  // namespace vrs
