// SPDX-License-Identifier: MIT
// vrstool diff: its report, exit status and difference picture, on pictures
// whose changes are known pixel by pixel.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <filesystem>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kW = 301;
constexpr std::uint32_t kH = 203;

// The changes: both corners, a one-pixel line across, a one-pixel line down
// the right edge, a block with a pixel 7 columns off (one region), and a
// pixel 12 columns off (a region of its own).
bool isChanged(std::int64_t x, std::int64_t y) {
    return (x == 0 && y == 0) || (x == kW - 1 && y == kH - 1) || (y == 100 && x >= 40 && x < 240) ||
           (x == kW - 1 && y >= 10 && y < 60) || (x >= 120 && x < 130 && y >= 30 && y < 35) ||
           (x == 137 && y == 36) || (x == 150 && y == 30);
}

Rgb changedPixel(std::int64_t x, std::int64_t y) {
    const Rgb p = samplePixel(x, y, kW, kH);
    return isChanged(x, y) ? Rgb{static_cast<std::uint8_t>(255 - p.r), p.g, p.b} : p;
}

constexpr const char* kReport =
    "304 pixels differ (0.50 %) in 6 regions\n"
    "40,100 200x1\n"
    "120,30 18x7\n"
    "300,10 1x50\n"
    "0,0 1x1\n"
    "150,30 1x1\n"
    "300,202 1x1\n";

class VrstoolDiff : public ::testing::Test {
  protected:
    void SetUp() override {
        VrsLayout layout;
        layout.width = kW;
        layout.height = kH;
        ASSERT_TRUE(writeVrsFile((dir / "a.vrs").string(), layout, samplePicture(kW, kH)));
        ASSERT_TRUE(writeVrsFile((dir / "b.vrs").string(), layout, changedPixel));
    }
    ToolRun diff(const std::vector<std::string>& args) {
        std::vector<std::string> all{"diff"};
        all.insert(all.end(), args.begin(), args.end());
        return runTool(all, dir.path());
    }
    ScratchDir dir;
};

// Captures, a capture against a PNG, and two PNG files give the same report.
TEST_F(VrstoolDiff, ReportsEveryChangedPixelAndRegion) {
    ASSERT_EQ(0, runTool({"convert", "-o", "b.png", "b.vrs"}, dir.path()).status);
    ASSERT_EQ(0, runTool({"convert", "-o", "a.png", "a.vrs"}, dir.path()).status);
    for (const auto& pair : std::vector<std::vector<std::string>>{
             {"a.vrs", "b.vrs"}, {"a.vrs", "b.png"}, {"a.png", "b.png"}}) {
        const ToolRun r = diff(pair);
        EXPECT_EQ(1, r.status) << pair[1];
        EXPECT_EQ(kReport, r.out) << pair[1];
        EXPECT_EQ("", r.err);
    }
    const ToolRun json = diff({"--json", "--ignore", "100,25,60,20", "a.vrs", "b.vrs"});
    EXPECT_EQ(1, json.status);
    EXPECT_EQ(
        "{\"identical\": false, \"sizes_differ\": false, \"width\": 301, \"height\": 203, "
        "\"differing_pixels\": 252, \"bounds\": [0, 0, 301, 203], \"regions\": [[40, 100, 200, "
        "1], [300, 10, 1, 50], [0, 0, 1, 1], [300, 202, 1, 1]], \"max_delta\": "
        "0.5437091822966538}\n",
        json.out);
}

TEST_F(VrstoolDiff, ExitsAsCmpDoes) {
    ToolRun r = diff({"a.vrs", "a.vrs"});
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("identical\n", r.out);
    VrsLayout narrow;
    narrow.width = kW - 1;
    narrow.height = kH;
    ASSERT_TRUE(writeVrsFile((dir / "narrow.vrs").string(), narrow, samplePicture(kW - 1, kH)));
    r = diff({"a.vrs", "narrow.vrs"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("sizes differ: 301 x 203 and 300 x 203\n", r.out);
    // Trouble: one line for each file that cannot be read, and nothing else.
    fs::resize_file(dir / "b.vrs", 1000);
    r = diff({"missing.vrs", "b.vrs"});
    EXPECT_EQ(2, r.status);
    EXPECT_EQ("", r.out);
    EXPECT_EQ(
        "vrstool: missing.vrs: No such file or directory\n"
        "vrstool: b.vrs: This file can't be read: the header promises 301 x 203 pixels of 32 "
        "bits (246,836 bytes of rows) but only 804 bytes follow it.\n",
        r.err);
    EXPECT_EQ(2, diff({"a.vrs"}).status);
}

// A 16-bit capture and the PNG vrstool convert makes of it are the same picture.
TEST_F(VrstoolDiff, ASixteenBitCaptureEqualsItsPngCopy) {
    VrsLayout layout;
    layout.width = kW;
    layout.height = kH;
    layout.depth = 16;
    layout.sized = false;
    ASSERT_TRUE(writeVrsFile((dir / "deep.vrs").string(), layout, samplePicture(kW, kH)));
    ASSERT_EQ(0, runTool({"convert", "-o", "deep.png", "deep.vrs"}, dir.path()).status);
    const ToolRun r = diff({"deep.vrs", "deep.png"});
    EXPECT_EQ(0, r.status) << r.out << r.err;
    EXPECT_EQ(1, diff({"deep.vrs", "a.vrs"}).status);
}

// A real screenshot pair (tests/cli/data/README.md): the counts pixelmatch
// 7.2.0 gives at its threshold 0.1, with anti-aliased pixels and without.
TEST_F(VrstoolDiff, CountsWhatPixelmatchCounts) {
    const fs::path a = fs::path(DIFF_DATA_DIR) / "screen_a.png";
    const fs::path b = fs::path(DIFF_DATA_DIR) / "screen_b.png";
    ToolRun r = diff({"--json", "--threshold", "0.1", a.string(), b.string()});
    EXPECT_NE(std::string::npos, r.out.find("\"differing_pixels\": 757,")) << r.out << r.err;
    r = diff({"--json", "--threshold", "0.1", "--antialiasing", a.string(), b.string()});
    EXPECT_NE(std::string::npos, r.out.find("\"differing_pixels\": 403,")) << r.out << r.err;
}

// The difference's picture: red exactly over the changed pixels, blue around
// each region, grey elsewhere; as a mask, red on transparency. It is never
// written over an input.
TEST_F(VrstoolDiff, DrawsTheDifference) {
    ASSERT_EQ(1, diff({"-o", "d.png", "a.vrs", "b.vrs"}).status);
    ASSERT_EQ(1, diff({"--mask", "-o", "m.png", "a.vrs", "b.vrs"}).status);
    const QImage d(QString::fromStdString((dir / "d.png").string()));
    const QImage m(QString::fromStdString((dir / "m.png").string()));
    ASSERT_EQ(QSize(kW, kH), d.size());
    ASSERT_EQ(QSize(kW, kH), m.size());
    std::int64_t wrong = 0;
    for (int y = 0; y < static_cast<int>(kH); ++y) {
        for (int x = 0; x < static_cast<int>(kW); ++x) {
            const QColor c = d.pixelColor(x, y);
            const bool red = c == QColor(255, 0, 0);
            const bool grey = c.red() == c.green() && c.green() == c.blue() && c.red() >= 191;
            const QColor k = m.pixelColor(x, y);
            const bool maskRed = k == QColor(255, 0, 0, 255);
            wrong += red != isChanged(x, y) || (!red && !grey && c != QColor(0, 90, 255)) ||
                     maskRed != isChanged(x, y) || (!maskRed && k.alpha() != 0);
        }
    }
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(QColor(0, 90, 255), d.pixelColor(119, 29));  // the block's outline
    EXPECT_EQ(QColor(0, 90, 255), d.pixelColor(138, 37));
    ASSERT_EQ(0, runTool({"convert", "-o", "b.png", "b.vrs"}, dir.path()).status);
    const auto before = readFile(dir / "b.png");
    const ToolRun r = diff({"-o", "b.png", "a.vrs", "b.png"});
    EXPECT_EQ(2, r.status);
    EXPECT_EQ("vrstool: not written: b.png is the input file b.png\n", r.err);
    EXPECT_EQ(before, readFile(dir / "b.png"));
}

// Memory follows the width, not the picture: two captures and the picture
// of their difference, each larger than the bound, compared within it.
TEST_F(VrstoolDiff, NeedsLittleMemoryHoweverLargeThePictures) {
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer's shadow takes several times the memory touched (the
    // PNG writer's buffers), and its slowness nears runTool's minute: the
    // gcc and AddressSanitizer runs check the bound.
    GTEST_SKIP() << "the bound is checked without ThreadSanitizer";
#endif
    VrsLayout layout;
    layout.width = 16000;
    layout.height = 1500;  // 96 MB a capture, 72 MB of difference picture
    layout.stride = 4 * layout.width;
    const std::uint64_t length = 196 + std::uint64_t{4} * layout.width * layout.height;
    for (const char* name : {"big_a.vrs", "big_b.vrs"}) {
        ASSERT_TRUE(writeFile(dir / name, makeHeader(layout)));
        fs::resize_file(dir / name, length);  // sparse: black rows that take no disk
    }
    const int fd = open((dir / "big_b.vrs").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const std::uint8_t white[4] = {0, 255, 255, 255};
    ASSERT_EQ(4, pwrite(fd, white, 4, 196 + 4 * (700 * 16000 + 12345)));
    ASSERT_EQ(0, close(fd));
    const ToolRun r = diff({"-o", "big.png", "big_a.vrs", "big_b.vrs"});
    EXPECT_EQ(1, r.status) << r.err;
    EXPECT_EQ("1 pixel differs (4.2e-06 %) in 1 region\n12345,700 1x1\n", r.out);
    EXPECT_LT(r.peakKiB, 64 * 1024 + kSanitizerKiB);
    EXPECT_EQ(QSize(16000, 1500), readPicture(dir / "big.png").size());
    // As a mask, one bit a pixel: a file of a few KB, which is read back.
    ASSERT_EQ(1, diff({"--mask", "-o", "mask.png", "big_a.vrs", "big_b.vrs"}).status);
    const ToolRun back = diff({"mask.png", "mask.png"});
    EXPECT_EQ(0, back.status) << back.err;
}

}  // namespace
}  // namespace vrs::testing
