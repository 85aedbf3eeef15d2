// SPDX-License-Identifier: MIT
#include "export/png/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>

#include "export/png/strip_deflater.h"
#include "platform/worker_pool.h"

namespace vrs {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxStrip = std::size_t{16} << 20;

}  // namespace

struct ParallelDeflate::Job {
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> dictionary;  // up to 32 KB of what precedes the input
    std::vector<std::uint8_t> output;
    std::uint32_t adler = 1;
    bool last = false;
};

namespace {

// Two bytes: deflate with a 32 KB window, the level class, the check bits.
void zlibHeader(int level, int strategy, std::uint8_t header[2]) {
    int levelClass = 3;
    if (level < 2 || strategy >= Z_HUFFMAN_ONLY) {
        levelClass = 0;
    } else if (level < 6) {
        levelClass = 1;
    } else if (level == 6) {
        levelClass = 2;
    }
    const unsigned cmf = 0x78;
    unsigned flg = static_cast<unsigned>(levelClass) << 6;
    flg += 31 - (cmf * 256 + flg) % 31;
    header[0] = static_cast<std::uint8_t>(cmf);
    header[1] = static_cast<std::uint8_t>(flg);
}

}  // namespace

ParallelDeflate::ParallelDeflate(const DeflateOptions& options, DeflateSink& sink)
    : options_(options), sink_(sink) {
    options_.stripBytes = std::clamp<std::size_t>(options_.stripBytes, 1, kMaxStrip);
}

ParallelDeflate::~ParallelDeflate() = default;

bool ParallelDeflate::start() {
    const int workers = workerCount(options_.workers);
    // Two strips per worker keep every worker busy while the oldest is written.
    maxInFlight_ = static_cast<std::size_t>(2 * workers);
    try {
        for (std::size_t i = 0; i <= maxInFlight_; ++i) {
            jobs_.push_back(std::make_unique<Job>());
            free_.push_back(jobs_.back().get());
        }
        window_.reserve(kWindow + options_.stripBytes);
        deflaters_.resize(static_cast<std::size_t>(workers));
        pool_ = std::make_unique<WorkerPool>(workers, maxInFlight_);
    } catch (const std::bad_alloc&) {
        failed_ = true;
    }
    if (failed_ || !takeFreeJob()) {
        failed_ = true;
        return false;
    }
    std::uint8_t header[2];
    zlibHeader(options_.level, options_.strategy, header);
    failed_ = !sink_.write(header, sizeof header);
    return !failed_;
}

bool ParallelDeflate::takeFreeJob() {
    while (free_.empty()) {
        if (!writeOldest()) {
            return false;
        }
    }
    current_ = free_.back();
    free_.pop_back();
    current_->input.clear();
    current_->input.reserve(options_.stripBytes);
    return true;
}

bool ParallelDeflate::add(const std::uint8_t* data, std::size_t size) {
    try {
        while (!failed_ && size > 0) {
            const std::size_t room = options_.stripBytes - current_->input.size();
            const std::size_t take = std::min(room, size);
            current_->input.insert(current_->input.end(), data, data + take);
            data += take;
            size -= take;
            if (current_->input.size() == options_.stripBytes && !submit(false)) {
                failed_ = true;
            }
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
    }
    return !failed_;
}

bool ParallelDeflate::submit(bool last) {
    Job* job = current_;
    current_ = nullptr;
    job->last = last;
    job->dictionary.assign(window_.begin(), window_.end());
    window_.insert(window_.end(), job->input.begin(), job->input.end());
    if (window_.size() > kWindow) {
        window_.erase(window_.begin(), window_.end() - kWindow);
    }
    if (!pool_->submit([this, job](int worker) { return compress(*job, worker); })) {
        return false;
    }
    inOrder_.push_back(job);
    if (last) {
        return true;
    }
    while (inOrder_.size() >= maxInFlight_) {
        if (!writeOldest()) {
            return false;
        }
    }
    return takeFreeJob();
}

bool ParallelDeflate::writeOldest() {
    Job* job = inOrder_.front();
    const bool ok = pool_->collect();
    inOrder_.pop_front();
    free_.push_back(job);
    if (!ok || !sink_.write(job->output.data(), job->output.size())) {
        return false;
    }
    adler_ = static_cast<std::uint32_t>(
        adler32_combine(adler_, job->adler, static_cast<z_off_t>(job->input.size())));
    return true;
}

bool ParallelDeflate::finish() {
    try {
        if (failed_ || !submit(true)) {
            failed_ = true;
        }
        while (!failed_ && !inOrder_.empty()) {
            failed_ = !writeOldest();
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
    }
    pool_.reset();
    if (failed_) {
        return false;
    }
    const std::uint8_t trailer[4] = {
        static_cast<std::uint8_t>(adler_ >> 24), static_cast<std::uint8_t>(adler_ >> 16),
        static_cast<std::uint8_t>(adler_ >> 8), static_cast<std::uint8_t>(adler_)};
    return sink_.write(trailer, sizeof trailer);
}

bool ParallelDeflate::compress(Job& job, int worker) {
    std::unique_ptr<StripDeflater>& deflater = deflaters_[static_cast<std::size_t>(worker)];
    if (!deflater) {
        deflater = std::make_unique<StripDeflater>(options_);
    }
    job.adler = static_cast<std::uint32_t>(adler32_z(1, job.input.data(), job.input.size()));
    return deflater->compress(job.dictionary, job.input, job.last, job.output);
}

}  // namespace vrs
