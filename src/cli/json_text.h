// SPDX-License-Identifier: MIT
// Text for vrstool's JSON: always valid UTF-8, whatever bytes a file name holds.
#pragma once

#include <string>
#include <string_view>

namespace vrs::cli {

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t sequenceAt(std::string_view text, std::size_t i);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool isUtf8(std::string_view text);

// A JSON string literal of `text`: quotes, backslashes and control characters
// escaped, and each byte that is not part of well-formed UTF-8 replaced by
// U+FFFD.
std::string jsonString(std::string_view text);

// The bytes as lower-case hexadecimal, two digits each.
std::string hexBytes(std::string_view bytes);

}  // namespace vrs::cli
