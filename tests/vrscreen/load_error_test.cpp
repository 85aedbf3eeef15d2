// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vrs_writer.h"
#include "vrscreen/loader.h"

namespace vrs {
namespace {

std::string wordsFor(std::vector<std::uint8_t> header, std::size_t length) {
    header.resize(length, 0);
    return describeLoadError(inspectVirtualScreen(header.data(), header.size()));
}

std::vector<std::uint8_t> sized(std::uint32_t w, std::uint32_t h, std::int64_t stride,
                                std::int32_t depth) {
    testing::VrsLayout layout;
    layout.width = w;
    layout.height = h;
    layout.stride = stride;
    layout.depth = depth;
    return testing::makeHeader(layout);
}

TEST(LoadErrorTest, EveryRefusalIsWordedWithItsFigures) {
    EXPECT_EQ(wordsFor(sized(1024, 768, 2048, 16), 196 + 1000000),
              "This file can't be read: the header promises 1024 x 768 pixels of 16 bits "
              "(1,572,864 bytes of rows) but only 1,000,000 bytes follow it.");
    EXPECT_EQ(wordsFor({}, 0),
              "This file can't be read: it holds 0 bytes, but a virtual-screen file starts with "
              "a header of 196 bytes.");
    EXPECT_EQ(wordsFor(sized(1, 1, 4, 32), 195),
              "This file can't be read: it holds 195 bytes, but a virtual-screen file starts "
              "with a header of 196 bytes.");
    EXPECT_EQ(wordsFor(sized(1500, 2, 2999, 16), 10000),
              "This file can't be read: the header gives rows of 2,999 bytes, but a row of 1500 "
              "pixels of 16 bits takes 3,000 bytes.");
    EXPECT_EQ(wordsFor(sized(0, 768, 0, 16), 196),
              "This file can't be read: the header promises a picture of 0 x 768 pixels, so "
              "there is no picture in it.");
    EXPECT_EQ(wordsFor(sized(60000, 60000, 0, 0), 196),
              "This file can't be read: the header promises 60000 x 60000 pixels, which would "
              "take 57,644,902,400 bytes of memory, far more than a file of 196 bytes can fill.");
    EXPECT_EQ(wordsFor(sized(0xFFFFFFFF, 0xFFFFFFFF, 0, 0), 196),
              "This file can't be read: the header promises 4294967295 x 4294967295 pixels of 0 "
              "bits, more than any computer's memory can hold.");
}

TEST(LoadErrorTest, OldVersionsAndEmptyRectanglesSayWhatTheyHold) {
    testing::VrsLayout old;
    old.version = 1;
    EXPECT_EQ(wordsFor(testing::makeHeader(old), 196),
              "This file can't be read: it is of format version 1, and only version 2 and later "
              "can be read.");
    testing::VrsLayout flat;
    flat.sized = false;
    flat.width = 640;
    flat.height = 0;
    EXPECT_EQ(wordsFor(testing::makeHeader(flat), 196),
              "This file can't be read: the header's picture rectangle is empty (640 x 0 "
              "pixels), so there is no picture in it.");
}

TEST(LoadErrorTest, AGoodFileHasNoWords) {
    EXPECT_EQ(wordsFor(sized(2, 2, 8, 32), 196 + 16), "");
}

}  // namespace
}  // namespace vrs
