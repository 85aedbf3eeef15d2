// SPDX-License-Identifier: MIT
#include "export/png/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <system_error>

#include "export/png/strip_deflater.h"

namespace vrs {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMaxStrip = std::size_t{16} << 20;
constexpr int kMaxWorkers = 4;

}  // namespace

struct ParallelDeflate::Job {
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> dictionary;  // up to 32 KB of what precedes the input
    std::vector<std::uint8_t> output;
    std::uint32_t adler = 1;
    bool last = false;
    bool done = false;  // guarded by the mutex
    bool ok = false;    // guarded by the mutex
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

int deflateWorkers(int requested) {
    if (requested > 0) {
        return std::min(requested, kMaxWorkers);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, kMaxWorkers);
}

ParallelDeflate::ParallelDeflate(const DeflateOptions& options, DeflateSink& sink)
    : options_(options), sink_(sink) {
    options_.stripBytes = std::clamp<std::size_t>(options_.stripBytes, 1, kMaxStrip);
}

ParallelDeflate::~ParallelDeflate() {
    stopWorkers();
}

bool ParallelDeflate::start() {
    const int workers = deflateWorkers(options_.workers);
    // Two strips per worker keep every worker busy while the oldest is written.
    maxInFlight_ = static_cast<std::size_t>(2 * workers);
    try {
        for (std::size_t i = 0; i <= maxInFlight_; ++i) {
            jobs_.push_back(std::make_unique<Job>());
            free_.push_back(jobs_.back().get());
        }
        window_.reserve(kWindow + options_.stripBytes);
        for (int i = 0; i < workers; ++i) {
            threads_.emplace_back([this] { workerLoop(); });
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
    } catch (const std::system_error&) {
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
    {
        std::lock_guard lock(mutex_);
        job->done = false;
        job->ok = false;
        pending_.push_back(job);
    }
    inOrder_.push_back(job);
    workReady_.notify_one();
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
    bool ok = false;
    {
        std::unique_lock lock(mutex_);
        jobDone_.wait(lock, [job] { return job->done; });
        ok = job->ok;
    }
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
    stopWorkers();
    if (failed_) {
        return false;
    }
    const std::uint8_t trailer[4] = {
        static_cast<std::uint8_t>(adler_ >> 24), static_cast<std::uint8_t>(adler_ >> 16),
        static_cast<std::uint8_t>(adler_ >> 8), static_cast<std::uint8_t>(adler_)};
    return sink_.write(trailer, sizeof trailer);
}

void ParallelDeflate::workerLoop() {
    std::unique_ptr<StripDeflater> deflater;
    try {
        deflater = std::make_unique<StripDeflater>(options_);
    } catch (const std::bad_alloc&) {
        deflater = nullptr;  // every job this worker takes fails
    }
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [this] { return stop_ || !pending_.empty(); });
            if (pending_.empty()) {
                break;
            }
            job = pending_.front();
            pending_.pop_front();
        }
        job->adler = static_cast<std::uint32_t>(adler32_z(1, job->input.data(), job->input.size()));
        const bool ok =
            deflater && deflater->compress(job->dictionary, job->input, job->last, job->output);
        {
            std::lock_guard lock(mutex_);
            job->ok = ok;
            job->done = true;
        }
        jobDone_.notify_all();
    }
}

void ParallelDeflate::stopWorkers() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.clear();
    }
    workReady_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
    threads_.clear();
}

}  // namespace vrs
