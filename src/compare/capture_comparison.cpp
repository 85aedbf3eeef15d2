// SPDX-License-Identifier: MIT
#include "compare/capture_comparison.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "compare/compared_rows.h"
#include "compare/region_finder.h"
#include "decode/decoder.h"

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

    void run(int threads, ComparisonResult* result) {
        slots_.resize(static_cast<std::size_t>(2 * threads + 2));
        std::vector<std::thread> others;
        for (int t = 1; t < threads; ++t) {
            try {
                others.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                break;  // fewer threads do the same work
            }
        }
        work();
        for (std::thread& t : others) {
            t.join();
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
    void work() {
        std::optional<CaptureReader> readerA;
        std::optional<CaptureReader> readerB;
        try {
            readerA.emplace(a_, chunkRows_);
            readerB.emplace(b_, chunkRows_);
        } catch (const std::bad_alloc&) {
            std::lock_guard lock(mutex_);
            fail(true, true, ReadProblem::OutOfMemory);
            return;
        }
        for (;;) {
            std::int64_t chunk = 0;
            {
                std::unique_lock lock(mutex_);
                room_.wait(lock, [&] {
                    return stopped() || next_ >= chunks_ ||
                           next_ < drained_ + static_cast<std::int64_t>(slots_.size());
                });
                if (stopped() || next_ >= chunks_) {
                    return;
                }
                chunk = next_++;
            }
            ChunkResult r;
            try {
                compareChunk(chunk, *readerA, *readerB, &r);
            } catch (const std::bad_alloc&) {
                std::lock_guard lock(mutex_);
                fail(true, false, ReadProblem::OutOfMemory);
                return;
            }
            deliver(chunk, std::move(r));
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
        room_.notify_all();
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

    // Hands a chunk's result over; whoever finds the next chunk in order
    // feeds the region finder with it and those after it that are there.
    void deliver(std::int64_t chunk, ChunkResult&& r) {
        std::unique_lock lock(mutex_);
        if (r.failedA || r.failedB) {
            fail(r.failedA, r.failedB, ReadProblem::ChangedWhileRead);
            return;
        }
        slots_[static_cast<std::size_t>(chunk) % slots_.size()] = std::move(r);
        if (draining_) {
            return;
        }
        draining_ = true;
        for (;;) {
            auto& slot = slots_[static_cast<std::size_t>(drained_) % slots_.size()];
            if (!slot || stopped()) {
                break;
            }
            ChunkResult ready = std::move(*slot);
            slot.reset();
            lock.unlock();
            feed(ready);
            lock.lock();
            ++drained_;
            if (progress_ != nullptr) {
                progress_->rowsDone.store(std::min(drained_ * chunkRows_, height_),
                                          std::memory_order_relaxed);
            }
            room_.notify_all();
        }
        draining_ = false;
    }

    // Only the thread draining calls this.
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
    RegionFinder finder_;  // and counts_: only the draining thread
    DiffCounts counts_;
    CompareProgress* progress_;
    std::int64_t chunkRows_ = 1;
    std::int64_t chunks_ = 0;

    std::mutex mutex_;  // guards what follows
    std::condition_variable room_;
    std::vector<std::optional<ChunkResult>> slots_;
    std::int64_t next_ = 0;     // the next chunk to take
    std::int64_t drained_ = 0;  // chunks fed to the finder
    bool draining_ = false;
    bool failedA_ = false;
    bool failedB_ = false;
    ReadProblem problemA_ = ReadProblem::None;
    ReadProblem problemB_ = ReadProblem::None;
};

}  // namespace

void compareCaptures(const PixelRows& a, const PixelRows& b, const CompareOptions& options,
                     int threads, CompareProgress* progress, ComparisonResult* result) {
    if (threads <= 0) {
        threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    }
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
