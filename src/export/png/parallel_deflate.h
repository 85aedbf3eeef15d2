// SPDX-License-Identifier: MIT
// One zlib stream compressed by several threads at once. The bytes handed in
// are cut into strips; each strip is deflated on its own (StripDeflater),
// primed with the 32 KB that precede it and ended on a byte boundary (a sync
// flush, the last one finishing the stream), so the strips' outputs, written
// in order between a zlib header and the combined Adler-32, form one valid
// stream. The strips are deflated on the worker pool; only a bounded
// number of them is held at any time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace vrs {

// Receives the compressed stream in order.
class DeflateSink {
  public:
    virtual ~DeflateSink() = default;
    virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
};

// deflateTune's match settings; all 0 keeps the level's own.
struct DeflateTuning {
    int goodLength{};  // a match this long cuts the search of the next by 4
    int maxLazy{};     // a match this long is taken without looking one byte on
    int niceLength{};  // a match this long ends the search
    int maxChain{};    // the most earlier places compared at each byte
};

// The caller chooses every setting: the PNG encoder's are in png_settings.h,
// the measurements behind them in bench/RESULTS.md.
struct DeflateOptions {
    int level{};     // zlib level
    int strategy{};  // zlib strategy (Z_DEFAULT_STRATEGY 0, Z_FILTERED 1, Z_RLE 3)
    int memLevel{};  // zlib memory level
    DeflateTuning tuning{};
    // Pieces of each strip tried by matching and by Huffman coding alone
    // (StripDeflater); 0: the strategy above throughout.
    std::size_t trialBytes{};
    // A piece coded by Huffman coding alone whose bytes equal the one before
    // in this many percent or more is tried by matching again.
    int probeRepeats{};
    // A strip whose first piece deflates by matching to less than 1 / flatRatio
    // of its size goes on with flatTuning: flat rows, where longer searches
    // cost little and pay. 0: never.
    int flatRatio{};
    DeflateTuning flatTuning{};
    std::size_t stripBytes{};  // at least 1, at most 16 MiB
    int workers{};             // compressing threads, as workerCount() takes them
};

class StripDeflater;
class WorkerPool;

class ParallelDeflate {
  public:
    ParallelDeflate(const DeflateOptions& options, DeflateSink& sink);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate&) = delete;
    ParallelDeflate& operator=(const ParallelDeflate&) = delete;

    // Starts the workers and writes the zlib header. False when it cannot.
    bool start();
    // Appends uncompressed bytes. False once anything has failed.
    bool add(const std::uint8_t* data, std::size_t size);
    // Compresses the rest, writes everything in order and the checksum.
    bool finish();

    struct Job;

  private:
    bool submit(bool last);
    bool writeOldest();
    bool takeFreeJob();
    // On worker `worker`: the job's checksum and compressed bytes.
    bool compress(Job& job, int worker);

    DeflateOptions options_;
    DeflateSink& sink_;
    std::vector<std::unique_ptr<Job>> jobs_;  // owns every job
    std::vector<Job*> free_;
    std::deque<Job*> inOrder_;  // submitted, oldest first
    Job* current_ = nullptr;    // being filled
    std::vector<std::uint8_t> window_;
    std::uint32_t adler_ = 1;
    std::size_t maxInFlight_ = 1;
    bool failed_ = false;
    // Each worker's own deflater, made by the worker on its first strip.
    std::vector<std::unique_ptr<StripDeflater>> deflaters_;
    std::unique_ptr<WorkerPool> pool_;  // last: its tasks use the rest
};

}  // namespace vrs
