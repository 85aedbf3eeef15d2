// Compresses the strips of a ParallelDeflate, one thread's worth: each strip
// is raw deflate primed with the bytes before it and ends on a byte boundary
// (a sync flush), the last one ending the stream.
//
// With a trial size set, the first bytes of a strip are deflated by matching
// and, apart, by Huffman coding alone; when the latter is no larger the rest
// of the strip is Huffman-coded alone. Noisy rows, whose bytes repeat little
// beyond their statistics, compress as well that way at a tenth of the time.
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
    bool restart(const std::vector<std::uint8_t>& dictionary);
    bool huffmanPays(const std::uint8_t* data, std::size_t n, std::size_t matchedBytes);
    bool run(const std::uint8_t* data, std::size_t n, int flush, std::vector<std::uint8_t>& out,
             std::size_t& produced);

    const DeflateOptions& options_;
    z_stream main_{};
    z_stream trial_{};  // Huffman coding alone, for the trial
    std::vector<std::uint8_t> scratch_;
    bool ready_ = false;
    bool trialReady_ = false;
};

}  // namespace vrs
