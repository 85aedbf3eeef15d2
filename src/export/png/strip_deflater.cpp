#include "export/png/strip_deflater.h"

#include <algorithm>
#include <new>

#include "export/png/parallel_deflate.h"

namespace vrs {

StripDeflater::StripDeflater(const DeflateOptions& options) : options_(options) {
    ready_ = deflateInit2(&main_, options.level, Z_DEFLATED, -15, options.memLevel,
                          options.strategy) == Z_OK;
    trialReady_ = options.trialBytes == 0 || deflateInit2(&trial_, options.level, Z_DEFLATED, -15,
                                                          options.memLevel, Z_HUFFMAN_ONLY) == Z_OK;
}

StripDeflater::~StripDeflater() {
    if (ready_) {
        deflateEnd(&main_);
    }
    if (trialReady_ && options_.trialBytes != 0) {
        deflateEnd(&trial_);
    }
}

// A reset keeps the strategy a previous strip may have switched to, and
// restores the level's match settings.
bool StripDeflater::restart(const std::vector<std::uint8_t>& dictionary) {
    if (deflateReset(&main_) != Z_OK ||
        deflateParams(&main_, options_.level, options_.strategy) != Z_OK) {
        return false;
    }
    const DeflateTuning& t = options_.tuning;
    if ((t.goodLength | t.maxLazy | t.niceLength | t.maxChain) != 0 &&
        deflateTune(&main_, t.goodLength, t.maxLazy, t.niceLength, t.maxChain) != Z_OK) {
        return false;
    }
    return dictionary.empty() || deflateSetDictionary(&main_, dictionary.data(),
                                                      static_cast<uInt>(dictionary.size())) == Z_OK;
}

// Deflates `n` bytes into `out` from `produced` on, growing `out` as needed,
// until the input is taken and the flush complete.
bool StripDeflater::run(const std::uint8_t* data, std::size_t n, int flush,
                        std::vector<std::uint8_t>& out, std::size_t& produced) {
    main_.next_in = const_cast<std::uint8_t*>(data);
    main_.avail_in = static_cast<uInt>(n);
    for (;;) {
        if (out.size() - produced < 64) {
            out.resize(out.size() * 2 + 64);
        }
        main_.next_out = out.data() + produced;
        main_.avail_out = static_cast<uInt>(out.size() - produced);
        const int rc = deflate(&main_, flush);
        produced = out.size() - main_.avail_out;
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

// Whether Huffman coding alone makes the trial's bytes no larger than the
// `matchedBytes` that matching made of them.
bool StripDeflater::huffmanPays(const std::uint8_t* data, std::size_t n, std::size_t matchedBytes) {
    if (!trialReady_ || deflateReset(&trial_) != Z_OK) {
        return false;
    }
    scratch_.resize(deflateBound(&trial_, static_cast<uLong>(n)) + 64);
    trial_.next_in = const_cast<std::uint8_t*>(data);
    trial_.avail_in = static_cast<uInt>(n);
    trial_.next_out = scratch_.data();
    trial_.avail_out = static_cast<uInt>(scratch_.size());
    return deflate(&trial_, Z_FINISH) == Z_STREAM_END && trial_.total_out <= matchedBytes;
}

bool StripDeflater::compress(const std::vector<std::uint8_t>& dictionary,
                             const std::vector<std::uint8_t>& input, bool last,
                             std::vector<std::uint8_t>& out) {
    if (!ready_ || !restart(dictionary)) {
        return false;
    }
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    const std::size_t n = input.size();
    std::size_t produced = 0;
    try {
        out.resize(deflateBound(&main_, static_cast<uLong>(n)) + 64);
        const std::size_t trial = std::min(options_.trialBytes, n);
        if (trial > 0 && trial < n) {
            if (!run(input.data(), trial, Z_BLOCK, out, produced)) {
                return false;
            }
            if (huffmanPays(input.data(), trial, produced) &&
                deflateParams(&main_, options_.level, Z_HUFFMAN_ONLY) != Z_OK) {
                return false;
            }
        }
        const std::size_t done = trial < n ? trial : 0;
        if (!run(input.data() + done, n - done, flush, out, produced)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    out.resize(produced);
    return true;
}

}  // namespace vrs
