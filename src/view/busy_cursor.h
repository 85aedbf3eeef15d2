// SPDX-License-Identifier: MIT
// The busy cursor's timing while a pass waits for its drawing thread: one turn
// every half second; nothing for the first three turns, then frame 4 and on,
// one frame per turn, round the eight frames.
#pragma once

class BusyCursorTurns {
  public:
    static constexpr int kTurnMilliseconds = 500;

    // The frame to show after the next turn, or -1 for none yet.
    int nextFrame() {
        const int n = turn_++;
        return n >= 4 ? n % 8 : -1;
    }
    void reset() { turn_ = 1; }

  private:
    int turn_ = 1;
};
