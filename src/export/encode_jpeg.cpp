// SPDX-License-Identifier: MIT
// Baseline JPEG compressed by several threads, the same file libjpeg writes
// in one pass with Huffman tables made for the picture (optimize_coding).
// The rows are read once, in order, on the calling thread, and cut into
// chunks of whole MCU rows; each chunk is compressed by its own libjpeg
// compressor with the standard tables and its symbols counted
// (chunk_compressor, scan_recoder). The tables are then made for the counts
// of the whole picture, and each chunk's scan is written again in them, its
// bits following the chunk before's (join_plan). Memory: a few chunks of
// rows and the compressed chunks, never the coefficients.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "export/encoders.h"
#include "export/jpeg/chunk_compressor.h"
#include "export/jpeg/join_plan.h"
#include "export/jpeg/jpeg_header.h"
#include "platform/worker_pool.h"

namespace vrs {
namespace {

// Rows of about this many RGB bytes make a chunk, small enough to keep every
// thread busy from the start, and at least kLeastRows rows: libjpeg sets up
// buffers as wide as the picture for each chunk, and chunks of 16 rows of a
// 16000-pixel-wide photo took a fifth more CPU time than chunks of 80.
constexpr std::int64_t kChunkBytes = std::int64_t{1} << 20;
constexpr std::int64_t kMcuRows = 16;  // 4:2:0
constexpr std::int64_t kLeastRows = 4 * kMcuRows;

class ChunkedJpeg {
  public:
    ChunkedJpeg(RowSource& source, OutputStream& out, int quality, std::int64_t chunkRows)
        : source_(source), out_(out), quality_(quality), width_(source.width()) {
        rowsPerChunk_ = std::max<std::int64_t>(1, (chunkRows + kMcuRows - 1) / kMcuRows) * kMcuRows;
        const std::int64_t count = (source.height() + rowsPerChunk_ - 1) / rowsPerChunk_;
        chunks_.resize(static_cast<std::size_t>(count));
        stats_.resize(chunks_.size());
        inFlight_ = std::min(chunks_.size(), static_cast<std::size_t>(2 * workers_));
        recoded_.resize(inFlight_);
    }

    bool encode() {
        return !chunks_.empty() && compressAll() && planJoin(stats_, chunks_[0].layout, &plan_) &&
               writeAll() && !out_.failed();
    }

  private:
    std::int64_t rowsOf(std::size_t k) const {
        const std::int64_t first = static_cast<std::int64_t>(k) * rowsPerChunk_;
        return std::min(rowsPerChunk_, source_.height() - first);
    }

    bool readRows(std::size_t k, std::uint8_t* rgb) {
        const std::int64_t first = static_cast<std::int64_t>(k) * rowsPerChunk_;
        for (std::int64_t i = 0; i < rowsOf(k); ++i) {
            RgbRow row;
            if (!source_.row(first + i, &row)) {
                return false;
            }
            interleaveRgb(row, width_, rgb + i * 3 * width_);
        }
        return !out_.failed();
    }

    // Reads the rows and compresses and counts every chunk. A chunk's rows
    // go into the buffer of the chunk inFlight_ before it, once that one is done.
    bool compressAll() {
        std::vector<std::vector<std::uint8_t>> rows(inFlight_);
        for (auto& buffer : rows) {
            buffer.resize(static_cast<std::size_t>(3 * width_ * rowsPerChunk_));
        }
        WorkerPool pool(workers_, inFlight_);
        for (std::size_t k = 0; k < chunks_.size(); ++k) {
            std::uint8_t* rgb = rows[k % inFlight_].data();
            if ((pool.full() && !pool.collect()) || !readRows(k, rgb)) {
                return false;
            }
            pool.submit([this, k, rgb](int) {
                JpegChunk& chunk = chunks_[k];
                return compressChunk(rgb, width_, rowsOf(k), quality_, &chunk) &&
                       countScan(chunk.bytes.get() + chunk.dataAt, chunk.dataEnd - chunk.dataAt,
                                 chunk.layout, chunk.tables, &stats_[k]);
            });
        }
        return pool.collectAll();
    }

    bool recode(std::size_t k) {
        const JpegChunk& jpeg = chunks_[k];
        return recodeScan(jpeg.bytes.get() + jpeg.dataAt, jpeg.dataEnd - jpeg.dataAt, jpeg.layout,
                          jpeg.tables, plan_.encoders, plan_.chunks[k], &recoded_[k % inFlight_]);
    }

    bool writeByte(std::uint8_t byte) {
        const std::uint8_t stuffed[2] = {byte, 0};
        return out_.write(stuffed, byte == 0xFF ? 2 : 1);
    }

    // Writes the header, then each chunk's scan as it is written again, in
    // order. The compressed chunks are freed at the end, when no other thread
    // runs: unmapping memory while they do costs every core a TLB flush.
    bool writeAll() {
        std::vector<std::uint8_t> header;
        if (!jpegHeader(chunks_[0], source_.height(), plan_.tables, &header) ||
            !out_.write(header.data(), header.size())) {
            return false;
        }
        WorkerPool pool(workers_, inFlight_);
        for (std::size_t k = 0; k < inFlight_; ++k) {
            pool.submit([this, k](int) { return recode(k); });
        }
        std::uint8_t pending = 0;  // the high pendingBits bits of a byte begun
        int pendingBits = 0;
        for (std::size_t k = 0; k < chunks_.size(); ++k) {
            if (!pool.collect()) {
                return false;
            }
            const RecodedScan& scan = recoded_[k % inFlight_];
            if (scan.headComplete && !writeByte(pending | scan.head)) {
                return false;
            }
            if (!out_.write(scan.body.data() + scan.bodyStart, scan.body.size() - scan.bodyStart)) {
                return false;
            }
            pending = static_cast<std::uint8_t>((scan.headComplete ? 0 : pending) | scan.tail);
            pendingBits = scan.tailBits;
            if (k + inFlight_ < chunks_.size()) {
                // Into the scan just written.
                pool.submit([this, k](int) { return recode(k + inFlight_); });
            }
        }
        // The last byte is filled with one bits.
        if (pendingBits > 0 &&
            !writeByte(static_cast<std::uint8_t>(pending | (0xFF >> pendingBits)))) {
            return false;
        }
        const std::uint8_t end[2] = {0xFF, 0xD9};
        return out_.write(end, sizeof end);
    }

    RowSource& source_;
    OutputStream& out_;
    int quality_;
    std::int64_t width_;
    std::int64_t rowsPerChunk_ = kMcuRows;
    int workers_ = workerCount();
    std::size_t inFlight_ = 1;
    std::vector<JpegChunk> chunks_;
    std::vector<RecodedScan> recoded_;  // chunk k's in k % inFlight_
    std::vector<ScanStats> stats_;
    JoinPlan plan_;
};

}  // namespace

bool encodeJpegInChunks(RowSource& source, OutputStream& out, int quality, std::int64_t chunkRows) {
    if (source.width() <= 0 || source.height() <= 0) {
        return false;
    }
    try {
        ChunkedJpeg jpeg(source, out, std::clamp(quality, 1, 100), chunkRows);
        return jpeg.encode();
    } catch (...) {
        return false;
    }
}

bool encodeJpeg(RowSource& source, OutputStream& out, const EncodeOptions& options) {
    const std::int64_t rows = std::max(kLeastRows, kChunkBytes / (3 * source.width()));
    return encodeJpegInChunks(source, out, options.jpegQuality, rows);
}

}  // namespace vrs
