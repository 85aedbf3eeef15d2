// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vrs_writer.h"
#include "vrscreen/load_error.h"

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

TEST(LoadErrorTest, APictureOfAnotherFormatIsToldByItsFormat) {
    const std::vector<std::pair<std::string, std::string>> starts = {
        {"\x89PNG\r\n\x1A\n\0\0\0\rIHDR", "a PNG picture"},
        {"\xFF\xD8\xFF\xE0\0\x10JFIF", "a JPEG picture"},
        {"GIF89a\x01\0\x01\0", "a GIF picture"},
        {std::string("MM\0*\0\0\0\x08", 8), "a TIFF picture"},
        {std::string("BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18), "a BMP picture"},
        {std::string("RIFF\x24\0\0\0WEBPVP8 ", 16), "a WebP picture"},
        {"%PDF-1.7\n", "a PDF document"}};
    for (const auto& [start, what] : starts) {
        // A long file, as pictures are, and a tiny one shorter than a header.
        for (const std::size_t length : {std::size_t{5000}, start.size()}) {
            std::vector<std::uint8_t> bytes(start.begin(), start.end());
            EXPECT_EQ(wordsFor(bytes, length),
                      "This file can't be read: it is " + what + ", not a virtual-screen file.");
        }
    }
    // "BM" alone is not yet a bitmap.
    EXPECT_EQ(wordsFor({'B', 'M'}, 20),
              "This file can't be read: it holds 20 bytes, but a "
              "virtual-screen file starts with a header of 196 bytes.");
}

TEST(LoadErrorTest, AHeaderThatCannotBeACapturesShowsItsFirstBytes) {
    const std::string text = "<!DOCTYPE html><html>";
    EXPECT_EQ(wordsFor({text.begin(), text.end()}, 4000),
              "This file can't be read: it is not a virtual-screen file (it starts with the bytes "
              "3C 21 44 4F 43 54 59 50, \"<!DOCTYP\").");
    // Figures are filled in at once: one that holds "%1" keeps it.
    EXPECT_EQ(fillIn("%2 starts with %1", {"%1%2", "x.vrs"}), "x.vrs starts with %1%2");
    // A negative version, and nonsense bounds, in a rectangle header.
    testing::VrsLayout noise;
    noise.sized = false;
    noise.version = -1991225785;
    EXPECT_EQ(wordsFor(testing::makeHeader(noise), 196),
              "This file can't be read: it is not a virtual-screen file (it starts with the bytes "
              "89 50 4E 47 00 00 00 00).");
    // The refusals of what can be a capture keep their words: an old version
    // in a rectangle header, and any version in a sized header.
    noise.version = 0;
    EXPECT_EQ(wordsFor(testing::makeHeader(noise), 196),
              "This file can't be read: it is of format version 0, and only version 2 and later "
              "can be read.");
    testing::VrsLayout sizedOld;
    sizedOld.version = -5;
    EXPECT_EQ(wordsFor(testing::makeHeader(sizedOld), 196),
              "This file can't be read: it is of format version -5, and only version 2 and later "
              "can be read.");
    // Which files load does not change: a rectangle header of any version
    // whose figures hold.
    testing::VrsLayout odd;
    odd.sized = false;
    odd.version = 0x7FFFFFFF;
    odd.width = 2;
    odd.height = 2;
    EXPECT_EQ(wordsFor(testing::makeHeader(odd), 196 + 64), "");
}

TEST(LoadErrorTest, AGoodFileHasNoWords) {
    EXPECT_EQ(wordsFor(sized(2, 2, 8, 32), 196 + 16), "");
}

}  // namespace
}  // namespace vrs
