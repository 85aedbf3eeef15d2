// SPDX-License-Identifier: MIT
#include "export/jpeg/join_plan.h"

namespace vrs {
namespace {

// A chunk's first DC values as differences from the chunk before's last.
void predictAcrossChunks(ScanStats& stats, const std::array<int, kScanComponents>& previous,
                         const ScanLayout& layout) {
    for (int c = 0; c < kScanComponents; ++c) {
        SymbolCounts& counts = stats.dc[layout.dcTable[c]];
        const int alone = magnitudeCategory(stats.firstDc[c]);
        const int joined = magnitudeCategory(stats.firstDc[c] - previous[c]);
        --counts[alone];
        ++counts[joined];
        stats.magnitudeBits += static_cast<std::uint64_t>(joined);
        stats.magnitudeBits -= static_cast<std::uint64_t>(alone);
    }
}

std::uint64_t codedBits(const SymbolCounts& counts, const HuffmanEncoder& encoder) {
    std::uint64_t bits = 0;
    for (int symbol = 0; symbol < 256; ++symbol) {
        bits += counts[symbol] * encoder.length[symbol];
    }
    return bits;
}

}  // namespace

bool planJoin(std::vector<ScanStats>& stats, const ScanLayout& layout, JoinPlan* plan) {
    plan->chunks.assign(stats.size(), {});
    std::array<SymbolCounts, 2> dc{};
    std::array<SymbolCounts, 2> ac{};
    for (std::size_t k = 0; k < stats.size(); ++k) {
        if (k > 0) {
            plan->chunks[k].previousDc = stats[k - 1].lastDc;
            predictAcrossChunks(stats[k], stats[k - 1].lastDc, layout);
        }
        for (int t = 0; t < 2; ++t) {
            for (int symbol = 0; symbol < 256; ++symbol) {
                dc[t][symbol] += stats[k].dc[t][symbol];
                ac[t][symbol] += stats[k].ac[t][symbol];
            }
        }
    }
    for (int t = 0; t < 2; ++t) {
        plan->tables.dc[t] = optimalHuffman(dc[t]);
        plan->tables.ac[t] = optimalHuffman(ac[t]);
        if (!makeEncoder(plan->tables.dc[t], &plan->encoders.dc[t]) ||
            !makeEncoder(plan->tables.ac[t], &plan->encoders.ac[t])) {
            return false;
        }
    }
    std::uint64_t start = 0;
    for (std::size_t k = 0; k < stats.size(); ++k) {
        std::uint64_t bits = stats[k].magnitudeBits;
        for (int t = 0; t < 2; ++t) {
            bits += codedBits(stats[k].dc[t], plan->encoders.dc[t]);
            bits += codedBits(stats[k].ac[t], plan->encoders.ac[t]);
        }
        plan->chunks[k].startBit = static_cast<int>(start % 8);
        plan->chunks[k].expectedBits = bits;
        start += bits;
    }
    return true;
}

}  // namespace vrs
