// SPDX-License-Identifier: MIT
// Compresses the strips of a ParallelDeflate, one thread's worth: each strip
// is raw deflate primed with the bytes before it and ends on a byte boundary
// (a sync flush), the last one ending the stream.
//
// With a trial size set, a strip is taken in pieces of that size. The first
// is deflated by matching and, apart, by Huffman coding alone; when the
// latter is no larger, the strip goes on by Huffman coding alone, which
// compresses noisy rows (little repeated beyond their statistics) as well at
// a tenth of the time. After that, a piece with many bytes equal to the one
// before (flat rows) is tried both ways apart first, and matching takes over
// again when it makes that piece smaller, so a flat area below a noisy one
// is matched.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrs {

struct DeflateOptions;

class StripDeflater {
  public:
    explicit StripDeflater(const DeflateOptions& options);
    ~StripDeflater();
    StripDeflater(const StripDeflater&) = delete;
    StripDeflater& operator=(const StripDeflater&) = delete;

    // Replaces `out` with the compressed strip. False when zlib fails or
    // memory is short (never throws).
    bool compress(const std::vector<std::uint8_t>& dictionary,
                  const std::vector<std::uint8_t>& input, bool last,
                  std::vector<std::uint8_t>& out);

  private:
    struct Output {
        std::vector<std::uint8_t>& bytes;
        std::size_t produced = 0;
    };

    bool prime(z_stream& z, const std::uint8_t* dictionary, std::size_t size);
    bool run(const std::uint8_t* data, std::size_t n, int flush, Output& out);
    bool setStrategy(int strategy, Output& out);
    bool tuneForFlat(std::size_t n, std::size_t produced);
    bool huffmanOnward(const std::vector<std::uint8_t>& dictionary,
                       const std::vector<std::uint8_t>& input, std::size_t& at, Output& out);
    std::size_t trialSize(z_stream& z, const std::uint8_t* data, std::size_t n);
    std::size_t huffmanSize(const std::uint8_t* data, std::size_t n);
    bool matchingPays(const std::vector<std::uint8_t>& dictionary,
                      const std::vector<std::uint8_t>& input, std::size_t at);

    const DeflateOptions& options_;
    z_stream main_{};
    z_stream huffman_{};  // trials by Huffman coding alone
    z_stream probe_{};    // trials by matching
    bool ready_ = false;
    std::vector<std::uint8_t> scratch_;
    std::vector<std::uint8_t> window_;
};

}  // namespace vrs
