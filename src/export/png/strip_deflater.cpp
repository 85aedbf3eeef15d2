// SPDX-License-Identifier: MIT
#include "export/png/strip_deflater.h"

#include <algorithm>
#include <new>

#include "export/png/parallel_deflate.h"
#include "platform/vectorise.h"

namespace vrs {
namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// The percentage of bytes equal to the one before: high where rows are flat.
VRS_VECTORISE int repeatPercent(const std::uint8_t* data, std::size_t n) {
    std::size_t repeats = 0;
    for (std::size_t i = 1; i < n; ++i) {
        repeats += data[i] == data[i - 1] ? 1U : 0U;
    }
    return n < 2 ? 0 : static_cast<int>(repeats * 100 / (n - 1));
}

}  // namespace

StripDeflater::StripDeflater(const DeflateOptions& options) : options_(options) {
    const int level = options.level;
    const int memLevel = options.memLevel;
    const bool main =
        deflateInit2(&main_, level, Z_DEFLATED, -15, memLevel, options.strategy) == Z_OK;
    const bool huffman =
        main && deflateInit2(&huffman_, level, Z_DEFLATED, -15, memLevel, Z_HUFFMAN_ONLY) == Z_OK;
    const bool probe = huffman && deflateInit2(&probe_, level, Z_DEFLATED, -15, memLevel,
                                               options.strategy) == Z_OK;
    ready_ = probe;
    if (!ready_ && huffman) {
        deflateEnd(&huffman_);
    }
    if (!ready_ && main) {
        deflateEnd(&main_);
    }
}

StripDeflater::~StripDeflater() {
    if (ready_) {
        deflateEnd(&main_);
        deflateEnd(&huffman_);
        deflateEnd(&probe_);
    }
}

// A reset keeps the strategy a previous strip may have switched to, and
// restores the level's match settings.
bool StripDeflater::prime(z_stream& z, const std::uint8_t* dictionary, std::size_t size) {
    if (deflateReset(&z) != Z_OK || deflateParams(&z, options_.level, options_.strategy) != Z_OK) {
        return false;
    }
    const DeflateTuning& t = options_.tuning;
    if ((t.goodLength | t.maxLazy | t.niceLength | t.maxChain) != 0 &&
        deflateTune(&z, t.goodLength, t.maxLazy, t.niceLength, t.maxChain) != Z_OK) {
        return false;
    }
    return size == 0 || deflateSetDictionary(&z, dictionary, static_cast<uInt>(size)) == Z_OK;
}

// Deflates `n` bytes into the output, growing it as needed, until the input
// is taken and the flush complete.
bool StripDeflater::run(const std::uint8_t* data, std::size_t n, int flush, Output& out) {
    main_.next_in = const_cast<std::uint8_t*>(data);
    main_.avail_in = static_cast<uInt>(n);
    for (;;) {
        if (out.bytes.size() - out.produced < 64) {
            out.bytes.resize(out.bytes.size() * 2 + 64);
        }
        main_.next_out = out.bytes.data() + out.produced;
        main_.avail_out = static_cast<uInt>(out.bytes.size() - out.produced);
        const int rc = deflate(&main_, flush);
        out.produced = out.bytes.size() - main_.avail_out;
        if (rc == Z_STREAM_END) {
            return flush == Z_FINISH;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            return false;
        }
        // Output space left over means the flush is complete; a finish
        // that stops short of the end made no progress.
        if (main_.avail_out != 0) {
            return flush != Z_FINISH && main_.avail_in == 0;
        }
    }
}

// Ends the current block, so that the change applies from here on.
bool StripDeflater::setStrategy(int strategy, Output& out) {
    return run(nullptr, 0, Z_BLOCK, out) && deflateParams(&main_, options_.level, strategy) == Z_OK;
}

// Longer searches for a strip whose first `n` bytes matched to `produced`
// bytes, where that is little enough.
bool StripDeflater::tuneForFlat(std::size_t n, std::size_t produced) {
    const DeflateTuning& t = options_.flatTuning;
    const auto ratio = static_cast<std::size_t>(options_.flatRatio);
    if (ratio == 0 || produced * ratio >= n) {
        return true;
    }
    return deflateTune(&main_, t.goodLength, t.maxLazy, t.niceLength, t.maxChain) == Z_OK;
}

// The size of `n` bytes deflated to the end by `z`; kFailed when zlib fails.
std::size_t StripDeflater::trialSize(z_stream& z, const std::uint8_t* data, std::size_t n) {
    scratch_.resize(deflateBound(&z, static_cast<uLong>(n)) + 64);
    z.next_in = const_cast<std::uint8_t*>(data);
    z.avail_in = static_cast<uInt>(n);
    z.next_out = scratch_.data();
    z.avail_out = static_cast<uInt>(scratch_.size());
    return deflate(&z, Z_FINISH) == Z_STREAM_END ? static_cast<std::size_t>(z.total_out) : kFailed;
}

std::size_t StripDeflater::huffmanSize(const std::uint8_t* data, std::size_t n) {
    return deflateReset(&huffman_) == Z_OK ? trialSize(huffman_, data, n) : kFailed;
}

// Whether matching, primed with the 32 KB before `at`, makes the piece at
// `at` smaller than Huffman coding alone does.
bool StripDeflater::matchingPays(const std::vector<std::uint8_t>& dictionary,
                                 const std::vector<std::uint8_t>& input, std::size_t at) {
    const std::size_t fromInput = std::min(at, kWindow);
    const std::size_t fromDictionary = std::min(dictionary.size(), kWindow - fromInput);
    window_.assign(dictionary.end() - static_cast<std::ptrdiff_t>(fromDictionary),
                   dictionary.end());
    window_.insert(window_.end(), input.begin() + static_cast<std::ptrdiff_t>(at - fromInput),
                   input.begin() + static_cast<std::ptrdiff_t>(at));
    if (!prime(probe_, window_.data(), window_.size())) {
        return false;
    }
    const std::size_t piece = options_.trialBytes;
    const std::size_t matched = trialSize(probe_, input.data() + at, piece);
    return matched < huffmanSize(input.data() + at, piece);
}

// Codes whole pieces from `at` on by Huffman coding alone, trying matching
// again on a piece with many repeated bytes; `at` ends where matching takes over, or before the
// last piece, which the caller codes as the stream now stands.
bool StripDeflater::huffmanOnward(const std::vector<std::uint8_t>& dictionary,
                                  const std::vector<std::uint8_t>& input, std::size_t& at,
                                  Output& out) {
    const std::size_t piece = options_.trialBytes;
    while (input.size() - at > piece) {
        if (repeatPercent(input.data() + at, piece) >= options_.probeRepeats &&
            matchingPays(dictionary, input, at)) {
            return setStrategy(options_.strategy, out);
        }
        if (!run(input.data() + at, piece, Z_NO_FLUSH, out)) {
            return false;
        }
        at += piece;
    }
    return true;
}

bool StripDeflater::compress(const std::vector<std::uint8_t>& dictionary,
                             const std::vector<std::uint8_t>& input, bool last,
                             std::vector<std::uint8_t>& bytes) {
    if (!ready_ || !prime(main_, dictionary.data(), dictionary.size())) {
        return false;
    }
    const std::size_t n = input.size();
    const std::size_t piece = options_.trialBytes;
    Output out{bytes};
    std::size_t at = 0;
    try {
        bytes.resize(deflateBound(&main_, static_cast<uLong>(n)) + 64);
        if (piece > 0 && piece < n) {
            if (!run(input.data(), piece, Z_BLOCK, out)) {
                return false;
            }
            at = piece;
            if (!tuneForFlat(piece, out.produced)) {
                return false;
            }
            if (huffmanSize(input.data(), piece) <= out.produced &&
                (!setStrategy(Z_HUFFMAN_ONLY, out) || !huffmanOnward(dictionary, input, at, out))) {
                return false;
            }
        }
        if (!run(input.data() + at, n - at, last ? Z_FINISH : Z_SYNC_FLUSH, out)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes.resize(out.produced);
    return true;
}

}  // namespace vrs
