// SPDX-License-Identifier: MIT
// The entropy-coded data of one baseline, interleaved JPEG scan, read
// symbol by symbol: counted (which Huffman symbols it uses, how many
// magnitude bits, its first and last DC value of each component), then
// written again with other tables. A chunk's scan starts predicting DC from
// 0; written after another chunk, its first DC differences are taken from
// that chunk's last values instead, and its bits start where the other's
// end, so the chunks join into one scan with no restart markers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "export/jpeg/huffman_code.h"

namespace vrs {

constexpr int kScanComponents = 3;

// The scan's blocks in the order the data holds them.
struct ScanLayout {
    std::array<int, kScanComponents> blocksPerMcu{};  // of each component
    std::array<int, kScanComponents> dcTable{};       // 0 or 1
    std::array<int, kScanComponents> acTable{};       // 0 or 1
    std::int64_t mcus = 0;
};

struct ScanEncoders {
    std::array<HuffmanEncoder, 2> dc;
    std::array<HuffmanEncoder, 2> ac;
};

struct ScanStats {
    std::array<SymbolCounts, 2> dc{};
    std::array<SymbolCounts, 2> ac{};
    std::uint64_t magnitudeBits = 0;
    std::array<int, kScanComponents> firstDc{};  // the first block's DC, each component
    std::array<int, kScanComponents> lastDc{};   // the last block's
};

// The number of magnitude bits of a value (its DC or AC size category).
int magnitudeCategory(int value);

// False when the data, coded in `tables`, does not hold the layout's blocks.
bool countScan(const std::uint8_t* data, std::size_t size, const ScanLayout& layout,
               const JpegTables& tables, ScanStats* stats);

// A chunk's scan written again. Its bits start `startBit` (0 to 7) bits into
// a byte the chunk before has begun: `head` holds that byte with zeros in
// the bits before (headComplete once the chunk fills it), `body` from
// bodyStart on the following whole bytes (0xFF stuffed with 0x00), `tail`
// the last tailBits bits, high bits first (with the leading zeros when the
// chunk does not fill its first byte).
struct RecodedScan {
    std::uint8_t head = 0;
    bool headComplete = false;
    std::vector<std::uint8_t> body;
    std::size_t bodyStart = 0;
    std::uint8_t tail = 0;
    int tailBits = 0;
};

struct RecodeSettings {
    int startBit = 0;
    std::array<int, kScanComponents> previousDc{};  // the chunk before's last DC values
    std::uint64_t expectedBits = 0;                 // the scan's length in the new codes
};

// False when the data does not hold the layout's blocks, a symbol has no new
// code, or the bits written are not the expected number.
bool recodeScan(const std::uint8_t* data, std::size_t size, const ScanLayout& layout,
                const JpegTables& tables, const ScanEncoders& encoders,
                const RecodeSettings& settings, RecodedScan* out);

}  // namespace vrs
