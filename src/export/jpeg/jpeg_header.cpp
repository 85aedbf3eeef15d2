// SPDX-License-Identifier: MIT
#include "export/jpeg/jpeg_header.h"

namespace vrs {
namespace {

constexpr std::uint8_t kStartOfFrame = 0xC0;
constexpr std::uint8_t kHuffmanTables = 0xC4;

void putBe16(std::vector<std::uint8_t>* out, std::size_t value) {
    out->push_back(static_cast<std::uint8_t>(value >> 8));
    out->push_back(static_cast<std::uint8_t>(value));
}

// One table per DHT segment, in libjpeg's order: luma DC and AC, then chroma.
void putTables(const JpegTables& tables, std::vector<std::uint8_t>* out) {
    for (int id = 0; id < 2; ++id) {
        for (int kind = 0; kind < 2; ++kind) {
            const HuffmanTable& codeTable = kind == 0 ? tables.dc[id] : tables.ac[id];
            out->insert(out->end(), {0xFF, kHuffmanTables});
            putBe16(out, 2 + 1 + 16 + codeTable.values.size());
            out->push_back(static_cast<std::uint8_t>(kind << 4 | id));
            out->insert(out->end(), codeTable.bits.begin() + 1, codeTable.bits.end());
            out->insert(out->end(), codeTable.values.begin(), codeTable.values.end());
        }
    }
}

}  // namespace

bool jpegHeader(const JpegChunk& first, std::int64_t height, const JpegTables& tables,
                std::vector<std::uint8_t>* out) {
    const std::uint8_t* p = first.bytes.get();
    out->assign(p, p + 2);  // start of image
    bool tablesPut = false;
    for (std::size_t at = 2; at < first.dataAt;) {
        const std::uint8_t marker = p[at + 1];
        const std::size_t length = static_cast<std::size_t>(p[at + 2]) << 8 | p[at + 3];
        if (at + 2 + length > first.dataAt) {
            return false;
        }
        if (marker == kHuffmanTables) {
            if (!tablesPut) {
                putTables(tables, out);
                tablesPut = true;
            }
        } else {
            const std::size_t start = out->size();
            out->insert(out->end(), p + at, p + at + 2 + length);
            if (marker == kStartOfFrame) {
                (*out)[start + 5] = static_cast<std::uint8_t>(height >> 8);
                (*out)[start + 6] = static_cast<std::uint8_t>(height);
            }
        }
        at += 2 + length;
    }
    return tablesPut;
}

}  // namespace vrs
