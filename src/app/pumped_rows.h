// SPDX-License-Identifier: MIT
// The rows of a picture being exported, read on the main thread, with a turn
// of the event loop now and then: windows keep being drawn (the progress
// window's bar moves, a closed dialog leaves the screen) while input waits.
#pragma once

#include <chrono>

#include "decode/row_source.h"
#include "platform/host.h"

class PumpedRows final : public vrs::RowSource {
  public:
    PumpedRows(vrs::RowSource& rows, vrs::Host& host) : rows_(rows), host_(host) {}
    std::int64_t width() const override { return rows_.width(); }
    std::int64_t height() const override { return rows_.height(); }
    bool row(std::int64_t y, vrs::RgbRow* out) override;

  private:
    vrs::RowSource& rows_;
    vrs::Host& host_;
    std::chrono::steady_clock::time_point lastTurn_ = std::chrono::steady_clock::now();
};
