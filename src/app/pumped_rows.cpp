// SPDX-License-Identifier: MIT
#include "app/pumped_rows.h"

namespace {

// About 30 turns a second: an animated bar looks alive, the export loses
// next to nothing.
constexpr std::chrono::milliseconds kTurnEvery{33};

}  // namespace

bool PumpedRows::row(std::int64_t y, vrs::RgbRow* out) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTurn_ >= kTurnEvery) {
        // As the decoder does while its progress window is up.
        host_.runEventLoop(0.000001);
        lastTurn_ = std::chrono::steady_clock::now();
    }
    return rows_.row(y, out);
}
