// SPDX-License-Identifier: MIT
#include "cli/shown_name.h"

#include <cstdint>

#include "cli/json_text.h"

namespace vrs::cli {
namespace {

// The bytes of the character at name[i] when it is one to escape (a C0 or
// C1 control, DEL, or a byte that is not UTF-8), else 0.
std::size_t escapedAt(std::string_view name, std::size_t i) {
    const auto lead = static_cast<std::uint8_t>(name[i]);
    const std::size_t n = sequenceAt(name, i);
    if (n == 0) {
        return 1;
    }
    if (lead < 0x20 || lead == 0x7F) {
        return 1;
    }
    // U+0080 to U+009F: C2 80 to C2 9F.
    if (n == 2 && lead == 0xC2 && static_cast<std::uint8_t>(name[i + 1]) < 0xA0) {
        return 2;
    }
    return 0;
}

void appendEscape(std::uint8_t byte, std::string* out) {
    switch (byte) {
        case '\a':
            *out += "\\a";
            return;
        case '\b':
            *out += "\\b";
            return;
        case '\t':
            *out += "\\t";
            return;
        case '\n':
            *out += "\\n";
            return;
        case '\v':
            *out += "\\v";
            return;
        case '\f':
            *out += "\\f";
            return;
        case '\r':
            *out += "\\r";
            return;
        default:
            *out += '\\';
            *out += static_cast<char>('0' + (byte >> 6));
            *out += static_cast<char>('0' + ((byte >> 3) & 7));
            *out += static_cast<char>('0' + (byte & 7));
    }
}

bool needsQuoting(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (escapedAt(name, i) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string shownName(std::string_view name) {
    if (!needsQuoting(name)) {
        return std::string(name);
    }
    std::string out;
    bool quoted = false;  // inside '...'
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t escaped = escapedAt(name, i);
        if (escaped != 0) {
            if (quoted) {
                out += '\'';
                quoted = false;
            }
            out += "$'";
            for (std::size_t k = 0; k < escaped; ++k) {
                appendEscape(static_cast<std::uint8_t>(name[i + k]), &out);
            }
            out += '\'';
            i += escaped;
            continue;
        }
        if (!quoted) {
            out += '\'';
            quoted = true;
        }
        if (name[i] == '\'') {
            out += "'\\''";
        } else {
            out += name[i];
        }
        ++i;
    }
    if (quoted) {
        out += '\'';
    }
    return out;
}

}  // namespace vrs::cli
