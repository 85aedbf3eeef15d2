// SPDX-License-Identifier: MIT
// Big-endian reads from a byte buffer. Every multi-byte field of the file goes
// through these; no struct is ever laid over file bytes.
#pragma once

#include <cstdint>

namespace vrs {

inline std::uint16_t readBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t readBE32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline std::uint64_t readBE64(const std::uint8_t* p) {
    return (std::uint64_t{readBE32(p)} << 32) | readBE32(p + 4);
}

}  // namespace vrs
