// SPDX-License-Identifier: MIT
#include "compare/capture_comparison.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "compare/compared_rows.h"
#include "compare/region_finder.h"
#include "decode/decoder.h"
#include "platform/worker_pool.h"

namespace vrs {
namespace {

// About how many bytes of each file a chunk holds: read with one pread each,
// and small enough to be compared while in the processor's cache.
constexpr std::int64_t kChunkBytes = std::int64_t{1} << 20;
// Rows so wide that each thread's buffers would pass this are compared by
// fewer threads.
constexpr std::int64_t kThreadsBytes = std::int64_t{256} << 20;

// What a chunk of rows found.
struct ChunkResult {
    std::vector<PixelRun> runs;
    std::vector<std::pair<std::int64_t, std::size_t>> rows;  // row, runs in it
    DiffCounts counts;
    bool failedA = false;
    bool failedB = false;
    ReadProblem problem = ReadProblem::ChangedWhileRead;  // of a failed file
};

// One capture's rows as a thread reads them: a chunk's bytes in order, and
// single rows in the compared form, kept by row number, for the rows that
// differ and their neighbours.
class CaptureReader {
  public:
    CaptureReader(const PixelRows& rows, std::int64_t chunkRows)
        : chunkFile_(rows), rowFile_(rows), layout_(rows.layout) {
        const std::int64_t rowBytes = std::max<std::int64_t>(layout_.rowPixelBytes(), 1);
        chunkFile_.prepare(true, static_cast<std::size_t>(rowBytes * chunkRows));
        rowFile_.prepare(true, static_cast<std::size_t>(rowBytes));
    }
    bool decoded() const { return rowDecoderFor(layout_.depth) != nullptr; }
    // Row y's bytes, the rest of the chunk read with it; null when the file changed.
    const std::uint8_t* bytes(std::int64_t y, std::int64_t end) {
        return chunkFile_.pixelBytes(y, end);
    }
    // Row y in the compared form, from its bytes when they are given (read
    // again otherwise); null when the file changed.
    const std::uint8_t* pixels(std::int64_t y, const std::uint8_t* raw = nullptr) {
        Kept& k = kept_[static_cast<std::size_t>(y % kKeptRows)];
        if (k.pixels.empty()) {  // made once a row differs
            k.pixels.resize(static_cast<std::size_t>(kComparedPixelBytes * layout_.width));
        }
        if (k.row != y) {
            if (raw == nullptr && decoded() && (raw = rowFile_.pixelBytes(y, y + 1)) == nullptr) {
                return nullptr;
            }
            capturePixels(raw, layout_.width, layout_.depth, k.pixels.data());
            k.row = y;
        }
        return k.pixels.data();
    }
    std::int64_t depth() const { return layout_.depth; }

  private:
    static constexpr std::int64_t kKeptRows = 8;
    struct Kept {
        std::int64_t row = -1;
        std::vector<std::uint8_t> pixels;
    };
    FileRows chunkFile_;
    FileRows rowFile_;
    RowLayout layout_;
    Kept kept_[kKeptRows];
};

class CaptureComparison {
  public:
    CaptureComparison(const PixelRows& a, const PixelRows& b, const CompareOptions& options,
                      CompareProgress* progress)
        : a_(a),
          b_(b),
          width_(a.layout.width),
          height_(a.layout.height),
          comparer_(width_, height_, options),
          finder_(width_),
          progress_(progress) {
        const std::int64_t rowBytes = std::max<std::int64_t>(
            {a.layout.rowPixelBytes(), b.layout.rowPixelBytes(), kComparedPixelBytes * width_});
        chunkRows_ = std::clamp<std::int64_t>(kChunkBytes / rowBytes, 1, height_);
        chunks_ = (height_ + chunkRows_ - 1) / chunkRows_;
    }

    // Compares the chunks on `threads` workers of the pool (on this thread
    // alone for one), each with readers of its own; this thread feeds their
    // results to the region finder in order.
    void run(int threads, ComparisonResult* result) {
        readers_.resize(static_cast<std::size_t>(std::max(threads, 1)));
        results_.resize(static_cast<std::size_t>(2 * threads + 2));
        {
            WorkerPool pool(threads > 1 ? threads : 0, results_.size());
            for (std::int64_t chunk = 0; chunk < chunks_ && !stopped(); ++chunk) {
                if (pool.full()) {
                    collectOldest(pool);
                }
                pool.submit([this, chunk](int worker) { return compare(chunk, worker); });
            }
            while (pool.pending() > 0) {
                if (stopped()) {
                    pool.stop();  // the chunks not begun are not wanted
                }
                collectOldest(pool);
            }
        }
        result->counts = counts_;
        if (failedA_ || failedB_) {
            result->failureA.problem = failedA_ ? problemA_ : ReadProblem::None;
            result->failureB.problem = failedB_ ? problemB_ : ReadProblem::None;
            return;
        }
        result->regions = finder_.finish();
    }

  private:
    struct Readers {
        Readers(const PixelRows& rowsA, const PixelRows& rowsB, std::int64_t chunkRows)
            : a(rowsA, chunkRows), b(rowsB, chunkRows) {}
        CaptureReader a;
        CaptureReader b;
    };

    // On worker `worker`: the chunk's rows compared into its result's slot.
    bool compare(std::int64_t chunk, int worker) {
        ChunkResult& r = results_[static_cast<std::size_t>(chunk) % results_.size()];
        std::optional<Readers>& readers = readers_[static_cast<std::size_t>(worker)];
        try {
            if (!readers) {
                readers.emplace(a_, b_, chunkRows_);
            }
        } catch (const std::bad_alloc&) {
            r.failedA = r.failedB = true;
            r.problem = ReadProblem::OutOfMemory;
            return false;
        }
        try {
            compareChunk(chunk, readers->a, readers->b, &r);
        } catch (const std::bad_alloc&) {
            r.failedA = true;
            r.problem = ReadProblem::OutOfMemory;
        }
        return !r.failedA && !r.failedB;
    }

    // Takes the oldest chunk's result and, unless the comparison has
    // stopped, feeds the region finder with it.
    void collectOldest(WorkerPool& pool) {
        ChunkResult& r = results_[static_cast<std::size_t>(drained_) % results_.size()];
        if (!pool.collect() && !r.failedA && !r.failedB) {
            r.failedA = true;  // the task ended in another exception
            r.problem = ReadProblem::OutOfMemory;
        }
        if (r.failedA || r.failedB) {
            fail(r.failedA, r.failedB, r.problem);
        } else if (!stopped()) {
            feed(r);
        }
        r = ChunkResult{};
        ++drained_;
        if (progress_ != nullptr && !stopped()) {
            progress_->rowsDone.store(std::min(drained_ * chunkRows_, height_),
                                      std::memory_order_relaxed);
        }
    }

    bool stopped() const {
        return failedA_ || failedB_ ||
               (progress_ != nullptr && progress_->stop.load(std::memory_order_relaxed));
    }

    void fail(bool a, bool b, ReadProblem problem) {
        if (a && !failedA_) {
            failedA_ = true;
            problemA_ = problem;
        }
        if (b && !failedB_) {
            failedB_ = true;
            problemB_ = problem;
        }
    }

    // Rows y - 2 to y + 2 in the compared form (only y without the
    // neighbours); false when a file changed.
    bool windowOf(CaptureReader& reader, std::int64_t y, RowWindow* w, bool* failed) {
        const std::int64_t reach = comparer_.needsNeighbours() ? 2 : 0;
        for (std::int64_t dy = -reach; dy <= reach; ++dy) {
            if (y + dy < 0 || y + dy >= height_) {
                continue;
            }
            if ((w->rows[dy + 2] = reader.pixels(y + dy)) == nullptr) {
                *failed = true;
                return false;
            }
        }
        return true;
    }

    // True when row y shows the same colours in both files.
    bool sameRow(CaptureReader& a, CaptureReader& b, const std::uint8_t* rowA,
                 const std::uint8_t* rowB, std::int64_t y, bool* failedA, bool* failedB) {
        if (a.depth() == b.depth() && a.decoded()) {
            return sameCaptureRows(rowA, rowB, width_, a.depth());
        }
        if (!a.decoded() && !b.decoded()) {
            return true;  // both black
        }
        const std::uint8_t* pa = a.pixels(y, rowA);
        const std::uint8_t* pb = b.pixels(y, rowB);
        *failedA = pa == nullptr;
        *failedB = pb == nullptr;
        return pa != nullptr && pb != nullptr && samePixels(pa, pb, width_);
    }

    void compareChunk(std::int64_t chunk, CaptureReader& a, CaptureReader& b, ChunkResult* r) {
        const std::int64_t first = chunk * chunkRows_;
        const std::int64_t end = std::min(first + chunkRows_, height_);
        for (std::int64_t y = first; y < end; ++y) {
            const std::uint8_t* rowA = a.decoded() ? a.bytes(y, end) : nullptr;
            const std::uint8_t* rowB = b.decoded() ? b.bytes(y, end) : nullptr;
            r->failedA = a.decoded() && rowA == nullptr;
            r->failedB = b.decoded() && rowB == nullptr;
            if (r->failedA || r->failedB ||
                sameRow(a, b, rowA, rowB, y, &r->failedA, &r->failedB)) {
                if (r->failedA || r->failedB) {
                    return;
                }
                continue;
            }
            RowWindow wa;
            RowWindow wb;
            if (!windowOf(a, y, &wa, &r->failedA) || !windowOf(b, y, &wb, &r->failedB)) {
                return;
            }
            const std::size_t before = r->runs.size();
            comparer_.compareRow(y, wa, wb, &r->runs, &r->counts);
            if (r->runs.size() > before) {
                r->rows.emplace_back(y, r->runs.size() - before);
            }
        }
    }

    // Only the calling thread feeds the finder.
    void feed(const ChunkResult& r) {
        counts_.add(r.counts);
        const PixelRun* runs = r.runs.data();
        for (const auto& [y, count] : r.rows) {
            finder_.addRow(y, runs, count);
            runs += count;
        }
    }

    const PixelRows a_;
    const PixelRows b_;
    const std::int64_t width_;
    const std::int64_t height_;
    const RowComparer comparer_;
    RegionFinder finder_;  // and counts_: only the calling thread
    DiffCounts counts_;
    CompareProgress* progress_;
    std::int64_t chunkRows_ = 1;
    std::int64_t chunks_ = 0;

    std::vector<std::optional<Readers>> readers_;  // worker k's in k
    std::vector<ChunkResult> results_;             // chunk n's in n % size
    // The calling thread's:
    std::int64_t drained_ = 0;  // chunks collected
    bool failedA_ = false;
    bool failedB_ = false;
    ReadProblem problemA_ = ReadProblem::None;
    ReadProblem problemB_ = ReadProblem::None;
};

}  // namespace

void compareCaptures(const PixelRows& a, const PixelRows& b, const CompareOptions& options,
                     int threads, CompareProgress* progress, ComparisonResult* result) {
    threads = workerCount(std::max(threads, 0));
    // A thread holds a chunk and a row of each file (and, for rows that
    // differ, a few rows in the compared form).
    const std::int64_t rowBytes = std::max(
        {a.layout.rowPixelBytes(), b.layout.rowPixelBytes(), kComparedPixelBytes * a.layout.width});
    const std::int64_t perThread = 4 * std::max(rowBytes, kChunkBytes);
    threads = static_cast<int>(
        std::clamp<std::int64_t>(kThreadsBytes / perThread, 1, std::max(threads, 1)));
    try {
        CaptureComparison comparison(a, b, options, progress);
        comparison.run(threads, result);
    } catch (const std::bad_alloc&) {
        result->failureA.problem = ReadProblem::OutOfMemory;
    }
}

}  // namespace vrs
