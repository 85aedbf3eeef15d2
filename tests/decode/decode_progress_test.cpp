// SPDX-License-Identifier: MIT
// The progress rule of 16-bit decodes, driven by the recording host's fake
// clock. With 3 x 200 pixels every row moves the 0..300 step (by 1 or 2), so
// the decoder reads the clock once per row: call 0 is the start, call k + 1
// comes after row k.
#include <gtest/gtest.h>

#include <vector>

#include "decode/decoder.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs {
namespace {

using testing::RecordingHost;

struct DecodeRun {
    RecordingHost host;
    std::int64_t progress = 1;
    int clockReads = 0;
};

void decode16(DecodeRun& run, std::int64_t width, std::int64_t height, std::int32_t depth = 16) {
    testing::VrsLayout layout;
    layout.depth = depth;
    layout.width = static_cast<std::uint32_t>(width);
    layout.height = static_cast<std::uint32_t>(height);
    const auto file = testing::makeVrs(layout, [](std::int64_t x, std::int64_t y) {
        return testing::Rgb{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y), 9};
    });
    std::shared_ptr<Image> view;
    auto full =
        Data2NSImage(file.data(), testing::rowLayoutOf(layout), &view, &run.progress, run.host);
    ASSERT_TRUE(full);
    ASSERT_TRUE(view);
}

// The clock stands at `start` for the start reading and jumps to `later` once
// `readsBeforeJump` readings have been taken.
void clockJumps(DecodeRun& run, std::uint32_t start, std::uint32_t later, int readsBeforeJump) {
    run.host.tick = start;
    run.host.onTick = [&run, later, readsBeforeJump](RecordingHost& h) {
        if (run.clockReads++ == readsBeforeJump) {
            h.tick = later;
        }
    };
}

void expectWindowFollowedTheDecode(const DecodeRun& run, std::int64_t entry) {
    const auto& log = run.host.progress;
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.destroyed, 1);
    EXPECT_EQ(log.titles, std::vector<std::string>{"data to image"});
    EXPECT_EQ(log.maxValue, 300);
    ASSERT_FALSE(log.values.empty());
    EXPECT_LE(log.values.size(), 301U);
    EXPECT_EQ(log.values.back(), 300);
    for (std::size_t i = 1; i < log.values.size(); ++i) {
        EXPECT_LT(log.values[i - 1], log.values[i]);
    }
    EXPECT_EQ(run.progress, entry + static_cast<std::int64_t>(log.values.size()));
    EXPECT_EQ(run.host.eventLoopTurns, std::vector<double>(log.values.size(), 0.000001));
}

TEST(DecodeProgressTest, NoWindowWhileTheDecodeIsYoungerThan61Ticks) {
    DecodeRun run;
    clockJumps(run, 500, 560, 1);  // 60 ticks old from the first check on
    decode16(run, 3, 200);
    EXPECT_EQ(run.host.progress.created, 0);
    EXPECT_EQ(run.progress, 1);
    EXPECT_TRUE(run.host.eventLoopTurns.empty());
}

TEST(DecodeProgressTest, AWindowOnceThe61stTickHasPassedAndEveryStepShownAfterwards) {
    DecodeRun run;
    clockJumps(run, 500, 561, 1);
    decode16(run, 3, 1000);  // steps 0, 0, 0, 1, ... : 301 different steps
    expectWindowFollowedTheDecode(run, 1);
    EXPECT_EQ(run.host.progress.values.size(), 301U);
    EXPECT_EQ(run.host.progress.values.front(), 0);
    EXPECT_EQ(run.progress, 302);
}

TEST(DecodeProgressTest, TheWindowComesOnlyInTheFirstHalfOfTheRows) {
    DecodeRun late;
    clockJumps(late, 0, 61, 101);  // first old enough after row 100 = height / 2
    decode16(late, 3, 200);
    EXPECT_EQ(late.host.progress.created, 0);
    EXPECT_EQ(late.progress, 0);
    EXPECT_EQ(late.clockReads, 102);  // declining ends the clock readings

    DecodeRun early;
    clockJumps(early, 0, 61, 100);  // old enough after row 99
    decode16(early, 3, 200);
    expectWindowFollowedTheDecode(early, 1);
    EXPECT_EQ(early.host.progress.values.front(), 150);  // (100 x 3) / 600 x 300
}

TEST(DecodeProgressTest, TheAgeIsASignedDifferenceOfTheWrappingTickCounts) {
    DecodeRun wrapped;
    clockJumps(wrapped, 0xFFFFFFF0U, 0x4DU, 1);  // 93 ticks later, across the wrap
    decode16(wrapped, 3, 200);
    expectWindowFollowedTheDecode(wrapped, 1);

    DecodeRun backwards;
    clockJumps(backwards, 1000, 10, 1);
    decode16(backwards, 3, 200);
    EXPECT_EQ(backwards.host.progress.created, 0);
    EXPECT_EQ(backwards.progress, 1);
}

// Past 8 Mi pixels a helper thread decodes rows from the bottom; the rows
// are still counted once each, in order, up to the last step.
TEST(DecodeProgressTest, RowsOfAPictureSharedWithAHelperAreCountedInOrder) {
    DecodeRun run;
    clockJumps(run, 0, 100, 1);
    decode16(run, 4099, 2047);
    expectWindowFollowedTheDecode(run, 1);
    EXPECT_EQ(run.host.progress.values.size(), 301U);  // every step from 0 to 300
}

TEST(DecodeProgressTest, ACounterOfZeroShowsNothingAndStaysZero) {
    DecodeRun run;
    run.progress = 0;
    run.host.ticksPerCall = 1000;
    decode16(run, 3, 200);
    EXPECT_EQ(run.host.progress.created, 0);
    EXPECT_EQ(run.progress, 0);
    EXPECT_TRUE(run.host.eventLoopTurns.empty());
}

TEST(DecodeProgressTest, TheEntryValueIsCountedOnFrom) {
    DecodeRun run;
    run.progress = 7;
    clockJumps(run, 0, 100, 1);
    decode16(run, 3, 200);
    expectWindowFollowedTheDecode(run, 7);
}

TEST(DecodeProgressTest, ThirtyTwoBitDecodesReportNoProgress) {
    DecodeRun run;
    run.host.ticksPerCall = 1000;
    decode16(run, 3, 200, 32);
    EXPECT_EQ(run.host.progress.created, 0);
    EXPECT_EQ(run.progress, 1);
}

TEST(DecodeProgressTest, AWindowThatCannotBeMadeIsTriedAgainAtTheNextStep) {
    DecodeRun retried;
    clockJumps(retried, 0, 100, 1);
    retried.host.onTick = [&retried, inner = retried.host.onTick](RecordingHost& h) {
        inner(h);
        h.refuseProgressWindows = retried.clockReads <= 2;  // the first attempt fails
    };
    decode16(retried, 3, 200);
    expectWindowFollowedTheDecode(retried, 1);
    // Row 0 moved to step 1 and found no window; row 1 (step 2) made one.
    EXPECT_EQ(retried.host.progress.values.front(), 2);

    DecodeRun refused;
    refused.host.refuseProgressWindows = true;
    refused.host.ticksPerCall = 1000;
    decode16(refused, 3, 200);
    EXPECT_EQ(refused.host.progress.created, 0);
    EXPECT_EQ(refused.progress, 0);  // half the rows passed without a window
}

}  // namespace
}  // namespace vrs
