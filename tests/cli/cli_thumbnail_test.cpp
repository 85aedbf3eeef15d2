// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

TEST(VrstoolThumbnail, LongerSideFitsAndCornersStayInPlace) {
    ScratchDir dir;
    VrsLayout layout;
    layout.width = 1999;
    layout.height = 1499;
    ASSERT_TRUE(writeVrsFile((dir / "in.vrs").string(), layout, samplePicture(1999, 1499)));
    fs::create_directory(dir / "thumbs");
    const ToolRun r = runTool({"thumbnail", "in.vrs", "thumbs/t.png"}, dir.path(), true);
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(std::vector<std::string>{"t.png"}, entries(dir / "thumbs"));
    const QImage t = readPicture(dir / "thumbs" / "t.png");
    EXPECT_EQ(QSize(256, 192), t.size());
    // The sample's marks: red top-left, green top-right, blue bottom-left.
    auto near = [&t](int x, int y, int red, int green, int blue) {
        const QRgb p = t.pixel(x, y);
        return std::abs(qRed(p) - red) < 8 && std::abs(qGreen(p) - green) < 8 &&
               std::abs(qBlue(p) - blue) < 8;
    };
    EXPECT_TRUE(near(2, 2, 250, 10, 20));
    EXPECT_TRUE(near(253, 2, 15, 240, 30));
    EXPECT_TRUE(near(2, 189, 20, 30, 245));
}

TEST(VrstoolThumbnail, SizeOptionAndSmallPictures) {
    ScratchDir dir;
    VrsLayout layout;
    layout.depth = 16;
    layout.width = 300;
    layout.height = 900;
    ASSERT_TRUE(writeVrsFile((dir / "in.vrs").string(), layout, samplePicture(300, 900)));
    ToolRun r = runTool({"thumbnail", "-s", "64", "in.vrs", "t"}, dir.path());
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(QSize(21, 64), readPicture(dir / "t").size());  // PNG whatever the name
    r = runTool({"thumbnail", "-s", "4096", "in.vrs", "same.png"}, dir.path());
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(QSize(300, 900), readPicture(dir / "same.png").size());
}

TEST(VrstoolThumbnail, FailuresExit1AndWriteNothing) {
    ScratchDir dir;
    writeFile(dir / "bad.vrs", std::vector<std::uint8_t>(200, 0));
    ToolRun r = runTool({"thumbnail", "bad.vrs", "t.png"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("bad.vrs: This file can't be read"));
    VrsLayout layout;
    layout.width = 10;
    layout.height = 10;
    ASSERT_TRUE(writeVrsFile((dir / "in.vrs").string(), layout, samplePicture(10, 10)));
    r = runTool({"thumbnail", "in.vrs", "/sys/t.png"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("not writable")) << r.err;
    EXPECT_EQ((std::vector<std::string>{"bad.vrs", "in.vrs"}), entries(dir.path()));
}

// The same file under its own name, a hard link or a symbolic link is never
// the output; "-" is standard output.
TEST(VrstoolThumbnail, NeverWritesOntoItsInputAndDashIsStandardOutput) {
    ScratchDir dir;
    VrsLayout layout;
    layout.width = 31;
    layout.height = 17;
    ASSERT_TRUE(writeVrsFile((dir / "shot.vrs").string(), layout, samplePicture(31, 17)));
    const auto before = readFile(dir / "shot.vrs");
    std::filesystem::create_hard_link(dir / "shot.vrs", dir / "hard.png");
    std::filesystem::create_symlink("shot.vrs", dir / "soft.png");
    for (const char* out : {"shot.vrs", "hard.png", "soft.png", "./shot.vrs"}) {
        const ToolRun r = runTool({"thumbnail", "shot.vrs", out}, dir.path());
        EXPECT_EQ(1, r.status) << out;
        EXPECT_NE(std::string::npos, r.err.find("is the input file shot.vrs")) << r.err;
    }
    EXPECT_EQ(before, readFile(dir / "shot.vrs"));
    EXPECT_EQ((std::vector<std::string>{"hard.png", "shot.vrs", "soft.png"}), entries(dir.path()));

    const ToolRun r = runTool({"thumbnail", "shot.vrs", "-"}, dir.path());
    ASSERT_EQ(0, r.status) << r.err;
    ASSERT_EQ(0, runTool({"thumbnail", "shot.vrs", "t.png"}, dir.path()).status);
    const auto file = readFile(dir / "t.png");
    EXPECT_EQ(std::string(file.begin(), file.end()), r.out);
    EXPECT_FALSE(std::filesystem::exists(dir / "-"));
}

// Standard output opened onto the input, for reading and writing or for
// appending, is refused before a byte is written, as the input's name is.
TEST(VrstoolThumbnail, StandardOutputOpenOntoTheInputIsRefused) {
    ScratchDir dir;
    VrsLayout layout;
    layout.width = 31;
    layout.height = 17;
    ASSERT_TRUE(writeVrsFile((dir / "big.vrs").string(), layout, samplePicture(31, 17)));
    const auto before = readFile(dir / "big.vrs");
    const std::string tool = VRSTOOL_PATH;
    for (const std::string& command :
         {tool + " convert -o - -f png big.vrs 1<>big.vrs",
          tool + " thumbnail big.vrs - 1<>big.vrs", tool + " thumbnail big.vrs - >>big.vrs"}) {
        const int status =
            std::system(("cd '" + dir.path().string() + "' && exec " + command + " 2>err").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command;
        const auto err = readFile(dir / "err");
        EXPECT_TRUE(std::string(err.begin(), err.end())
                        .ends_with(": standard output is the input file big.vrs\n"))
            << command;
        EXPECT_EQ(before, readFile(dir / "big.vrs")) << command;
    }
}

// Files whose headers claim 2^31 rows, their rows a hole but for the first
// 4 KB, without pixel bytes or with 32-bit ones: their thumbnails (the
// desktop's thumbnailer) cost no more than a real picture of the same bytes.
TEST(VrstoolThumbnail, SparseFileCostsWhatItsBytesCost) {
    ScratchDir dir;
    ASSERT_TRUE(
        writeVrsFile((dir / "normal.vrs").string(), fourKilobyteCapture(), samplePicture(32, 32)));
    auto thumbnail = [&dir](const std::string& name) {
        return programProcessorSeconds({VRSTOOL_PATH, "thumbnail", "-s", "256",
                                        (dir / name).string(), (dir / "t.png").string()});
    };
    const double normalSeconds = thumbnail("normal.vrs");
    ASSERT_GT(normalSeconds, 0);
    for (const std::int32_t depth : {0, 32}) {
        SCOPED_TRACE(depth);
        ASSERT_TRUE(writeSparseCapture(dir / "sparse.vrs", hostileClaim(depth), 4096));
        const double seconds = thumbnail("sparse.vrs");
        ASSERT_GE(seconds, 0) << "stopped after " << kProcessorLimit << " s of processor time";
        EXPECT_LT(seconds, 10 * normalSeconds);
        EXPECT_EQ(QSize(1, 256), readPicture(dir / "t.png").size());
    }
}

}  // namespace
}  // namespace vrs::testing
