// SPDX-License-Identifier: MIT
#include "export/jpeg/huffman_code.h"

#include <limits>

namespace vrs {
namespace {

constexpr int kMaxLength = 16;
// The longest code before the limit to 16 bits: 257 symbols.
constexpr int kMaxBuildLength = 256;
constexpr int kReserved = 256;  // a symbol counted once, so no real code is all ones

// Code lengths by merging the two rarest groups, ties going to the higher
// symbol; `others` chains the symbols of a group.
std::array<int, 257> codeLengths(const SymbolCounts& counts) {
    std::array<std::uint64_t, 257> freq{};
    std::array<int, 257> size{};
    std::array<int, 257> others{};
    for (int i = 0; i < 256; ++i) {
        freq[i] = counts[i];
    }
    freq[kReserved] = 1;
    others.fill(-1);
    for (;;) {
        int c1 = -1;
        int c2 = -1;
        std::uint64_t v1 = std::numeric_limits<std::uint64_t>::max();
        std::uint64_t v2 = v1;
        for (int i = 0; i <= kReserved; ++i) {
            if (freq[i] != 0 && freq[i] <= v1) {
                v1 = freq[i];
                c1 = i;
            }
        }
        for (int i = 0; i <= kReserved; ++i) {
            if (freq[i] != 0 && freq[i] <= v2 && i != c1) {
                v2 = freq[i];
                c2 = i;
            }
        }
        if (c2 < 0) {
            break;
        }
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++size[c1];
        while (others[c1] >= 0) {
            c1 = others[c1];
            ++size[c1];
        }
        others[c1] = c2;
        ++size[c2];
        while (others[c2] >= 0) {
            c2 = others[c2];
            ++size[c2];
        }
    }
    return size;
}

}  // namespace

HuffmanTable optimalHuffman(const SymbolCounts& counts) {
    const std::array<int, 257> size = codeLengths(counts);
    std::array<std::int64_t, kMaxBuildLength + 1> bits{};
    for (const int s : size) {
        if (s > 0) {
            ++bits[static_cast<std::size_t>(s)];
        }
    }
    // Codes longer than 16 bits: a pair of them becomes one code a bit
    // shorter, and a shorter code becomes two one bit longer.
    for (int i = kMaxBuildLength; i > kMaxLength; --i) {
        while (bits[i] > 0) {
            int j = i - 2;
            while (bits[j] == 0) {
                --j;
            }
            bits[i] -= 2;
            ++bits[i - 1];
            bits[j + 1] += 2;
            --bits[j];
        }
    }
    int last = kMaxLength;
    while (last > 0 && bits[last] == 0) {
        --last;
    }
    --bits[last];  // the reserved symbol's code, the longest
    HuffmanTable codeTable;
    for (int i = 1; i <= kMaxLength; ++i) {
        codeTable.bits[i] = static_cast<std::uint8_t>(bits[i]);
    }
    for (int length = 1; length <= kMaxBuildLength; ++length) {
        for (int symbol = 0; symbol < 256; ++symbol) {
            if (size[symbol] == length) {
                codeTable.values.push_back(static_cast<std::uint8_t>(symbol));
            }
        }
    }
    return codeTable;
}

bool makeEncoder(const HuffmanTable& codeTable, HuffmanEncoder* encoder) {
    *encoder = {};
    std::uint32_t code = 0;
    std::size_t k = 0;
    for (int length = 1; length <= kMaxLength; ++length) {
        for (int n = 0; n < codeTable.bits[length]; ++n, ++k) {
            if (k >= codeTable.values.size() || code >= (std::uint32_t{1} << length)) {
                return false;
            }
            encoder->code[codeTable.values[k]] = static_cast<std::uint16_t>(code);
            encoder->length[codeTable.values[k]] = static_cast<std::uint8_t>(length);
            ++code;
        }
        code <<= 1;
    }
    return k == codeTable.values.size();
}

bool makeDecoder(const HuffmanTable& codeTable, HuffmanDecoder* decoder) {
    constexpr int kLook = HuffmanDecoder::kLookBits;
    decoder->look.fill(0);
    decoder->maxCode.fill(-1);
    decoder->values = codeTable.values;
    std::int32_t code = 0;
    std::int32_t k = 0;
    for (int length = 1; length <= kMaxLength; ++length) {
        decoder->offset[length] = k - code;
        for (int n = 0; n < codeTable.bits[length]; ++n, ++k, ++code) {
            if (static_cast<std::size_t>(k) >= codeTable.values.size() || code >= (1 << length)) {
                return false;
            }
            if (length <= kLook) {
                const int shift = kLook - length;
                for (int fill = 0; fill < (1 << shift); ++fill) {
                    decoder->look[static_cast<std::size_t>((code << shift) | fill)] =
                        static_cast<std::uint16_t>(length << 8 | codeTable.values[k]);
                }
            }
        }
        if (codeTable.bits[length] > 0) {
            decoder->maxCode[length] = code - 1;
        }
        code <<= 1;
    }
    return static_cast<std::size_t>(k) == codeTable.values.size();
}

}  // namespace vrs
