// SPDX-License-Identifier: MIT
// JPEG Huffman tables as a DHT segment holds them, the optimal table for a
// set of symbol counts (built exactly as libjpeg's optimize_coding builds it,
// so that the same counts give the same table), and the tables turned into
// codes for writing and into a lookup for reading.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vrs {

// bits[n]: the number of codes n bits long, n = 1 to 16; values: the symbols,
// shortest codes first.
struct HuffmanTable {
    std::array<std::uint8_t, 17> bits{};
    std::vector<std::uint8_t> values;
};

// A scan's tables: DC and AC, 0 for luma and 1 for chroma.
struct JpegTables {
    std::array<HuffmanTable, 2> dc;
    std::array<HuffmanTable, 2> ac;
};

using SymbolCounts = std::array<std::uint64_t, 256>;

// The table for these counts, no code longer than 16 bits and none all ones.
// Symbols counted 0 get no code.
HuffmanTable optimalHuffman(const SymbolCounts& counts);

// Each symbol's code (in the low `length` bits) and length; length 0: no code.
struct HuffmanEncoder {
    std::array<std::uint16_t, 256> code{};
    std::array<std::uint8_t, 256> length{};
};

// False when the table is not a valid prefix code.
bool makeEncoder(const HuffmanTable& codeTable, HuffmanEncoder* encoder);

// Codes up to kLookBits long are found in one lookup, longer ones by length.
struct HuffmanDecoder {
    static constexpr int kLookBits = 11;
    // (length << 8 | symbol) by the next kLookBits bits; 0: a longer code.
    std::array<std::uint16_t, 1 << kLookBits> look{};
    std::array<std::int32_t, 18> maxCode{};  // the largest code of each length, -1: none
    std::array<std::int32_t, 17> offset{};  // values index of a length's codes, less its first code
    std::vector<std::uint8_t> values;
};

bool makeDecoder(const HuffmanTable& codeTable, HuffmanDecoder* decoder);

}  // namespace vrs
