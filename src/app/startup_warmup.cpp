// SPDX-License-Identifier: MIT
#include "app/startup_warmup.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QImageReader>
#include <system_error>

StartupWarmup::StartupWarmup() {
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread: the main thread loads it all when it needs it.
    }
}

StartupWarmup::~StartupWarmup() {
    finish();
}

void StartupWarmup::finish() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (go_ == Go::Waiting) {
            go_ = Go::Stop;
        }
    }
    changed_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void StartupWarmup::applicationMade() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        go_ = Go::Qt;
    }
    changed_.notify_one();
}

void StartupWarmup::run() {
    // Loads the default configuration once; Qt's font database uses it.
    [[maybe_unused]] const FcBool loaded = FcInit();
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return go_ != Go::Waiting; });
        if (go_ == Go::Stop) {
            return;
        }
    }
    // Both are thread-safe; plugin objects are handed to the main thread.
    QImageReader::supportedImageFormats();
    QFontDatabase::families();
}
