// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class VrstoolConvert : public ::testing::Test {
  protected:
    void write(const std::string& name, std::uint32_t w, std::uint32_t h, int depth = 32,
               bool sized = true) {
        VrsLayout layout;
        layout.width = w;
        layout.height = h;
        layout.depth = depth;
        layout.sized = sized;
        ASSERT_TRUE(writeVrsFile((dir / name).string(), layout, samplePicture(w, h)));
    }
    ScratchDir dir;
};

TEST_F(VrstoolConvert, FullPictureEqualsTheDecodersFullImage) {
    write("wide32.vrs", 1703, 1209);
    write("odd16.vrs", 333, 211, 16, false);
    write("deep24.vrs", 41, 29, 24);  // no pixels decoded: the viewer's full image is black
    for (const char* name : {"wide32", "odd16", "deep24"}) {
        const std::string out = std::string(name) + ".png";
        const ToolRun r = runTool({"convert", "-o", out, std::string(name) + ".vrs"}, dir.path());
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ("", r.err);
        const Decoded d = decodeFile(dir / (std::string(name) + ".vrs"));
        ASSERT_TRUE(d.full);
        EXPECT_EQ(0, differingPixels(readPicture(dir / out), *d.full)) << name;
    }
}

// --quality sets the JPEG quality; without it the file is the viewer's, at 50.
TEST_F(VrstoolConvert, QualityChoosesTheJpegQuality) {
    write("q.vrs", 301, 203);
    const std::vector<std::vector<std::string>> runs = {
        {"--quality", "10"}, {"--quality", "50"}, {}, {"--quality", "95"}};
    std::vector<std::vector<char>> files;
    for (const auto& extra : runs) {
        std::vector<std::string> args = {"convert", "-o", "q.jpg", "q.vrs"};
        args.insert(args.begin() + 1, extra.begin(), extra.end());
        const ToolRun r = runTool(args, dir.path());
        ASSERT_EQ(0, r.status) << r.err;
        std::ifstream in(dir / "q.jpg", std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_LT(files[0].size(), files[1].size());
    EXPECT_EQ(files[1], files[2]);
    EXPECT_LT(files[2].size(), files[3].size());
}

TEST_F(VrstoolConvert, ViewSamplesExactlyAsTheViewer) {
    write("big.vrs", 2563, 1601);  // view 1600 x 999: scale 1600/2563
    write("tall.vrs", 700, 1900, 16);
    write("deep8.vrs", 1811, 37, 8);  // no pixels decoded: the viewer's view is white
    for (const char* name : {"big", "tall", "deep8"}) {
        const std::string out = std::string(name) + "-view.bmp";
        const ToolRun r =
            runTool({"convert", "--view", "-o", out, std::string(name) + ".vrs"}, dir.path());
        ASSERT_EQ(0, r.status) << r.err;
        const Decoded d = decodeFile(dir / (std::string(name) + ".vrs"));
        ASSERT_TRUE(d.view);
        EXPECT_EQ(0, differingPixels(readPicture(dir / out), *d.view)) << name;
    }
}

// 25600 x 2 reduces to a view 1600 x 0: nothing to write, and said so.
TEST_F(VrstoolConvert, AViewReducedToNothingIsRefusedWithItsSize) {
    write("flat.vrs", 25600, 2, 16);
    const ToolRun r = runTool({"convert", "--view", "-o", "flat.gif", "flat.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(
        "vrstool: flat.vrs: This picture couldn't be converted: it is 1600 x 0 pixels, and a "
        "picture needs one pixel a side.\n",
        r.err);
    EXPECT_FALSE(fs::exists(dir / "flat.gif"));
}

TEST_F(VrstoolConvert, BatchNamesOutputsAfterInputsAndReportsEachFailureOnce) {
    write("a.vrs", 64, 48);
    write("b.vrs", 50, 30, 16);
    write("c.vrs", 17, 9);
    writeFile(dir / "broken.vrs", {1, 2, 3});
    fs::create_directory(dir / "out");
    const ToolRun r = runTool(
        {"convert", "-d", "out", "-f", "GIF", "-j", "2", "a.vrs", "broken.vrs", "b.vrs", "c.vrs"},
        dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(1, lines(r.err)) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find('\r'));  // no progress bar off a terminal
    EXPECT_EQ(0u, r.err.rfind("vrstool: broken.vrs: This file can't be read: it holds 3 bytes", 0))
        << r.err;
    for (const char* name : {"a", "b", "c"}) {
        const Decoded d = decodeFile(dir / (std::string(name) + ".vrs"));
        const QImage picture = readPicture(dir / "out" / (std::string(name) + ".GIF"));
        EXPECT_EQ(
            QSize(static_cast<int>(d.full->size().width), static_cast<int>(d.full->size().height)),
            picture.size())
            << name;
    }
    EXPECT_FALSE(fs::exists(dir / "out" / "broken.GIF"));
}

TEST_F(VrstoolConvert, NeverOverwritesAnInput) {
    write("shot.png", 20, 10);  // a virtual-screen file with a picture's name
    const auto before = readFile(dir / "shot.png");
    ToolRun r = runTool({"convert", "-o", "shot.png", "shot.png"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(has(r.err, "shot.png is the input file")) << r.err;
    r = runTool({"convert", "-d", ".", "-f", "png", "shot.png"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(before, readFile(dir / "shot.png"));

    // Two inputs of one name would write the same output: the second is refused.
    fs::create_directory(dir / "x");
    fs::create_directory(dir / "y");
    write("x/p.vrs", 20, 10);
    write("y/p.vrs", 30, 10);
    r = runTool({"convert", "-d", ".", "-f", "bmp", "x/p.vrs", "y/p.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(1, lines(r.err));
    EXPECT_TRUE(has(r.err, "y/p.vrs: not converted: ./p.bmp is already written for x/p.vrs"))
        << r.err;
    EXPECT_EQ(20, readPicture(dir / "p.bmp").width());
}

TEST_F(VrstoolConvert, SameTableAndMessagesAsTheViewer) {
    write("p.vrs", 30, 20);
    ToolRun r = runTool({"convert", "-o", "p.JPG", "p.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(
        has(r.err, "vrstool: p.vrs: The picture was not saved: \u201CJPG\u201D is not one of"))
        << r.err;
    EXPECT_FALSE(fs::exists(dir / "p.JPG"));

    r = runTool({"convert", "-o", "noext", "p.vrs"}, dir.path());
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_FALSE(readPicture(dir / "noext.jpg").isNull());

    r = runTool({"convert", "-o", "missing/p.png", "p.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(has(r.err, "the folder \u201Cmissing\u201D does not exist")) << r.err;
}

TEST_F(VrstoolConvert, DashWritesToStandardOutputInTheFormatOfDashF) {
    write("p.vrs", 37, 23);
    for (const char* ext : {"jpg", "tif"}) {
        const std::string file = std::string("p.") + ext;
        ASSERT_EQ(0, runTool({"convert", "-o", file, "p.vrs"}, dir.path()).status);
        // No -f: JPEG, as for a name without extension.
        const ToolRun r = ext == std::string("jpg")
                              ? runTool({"convert", "-o", "-", "p.vrs"}, dir.path())
                              : runTool({"convert", "-o", "-", "-f", ext, "p.vrs"}, dir.path());
        ASSERT_EQ(0, r.status) << r.err;
        const auto bytes = readFile(dir / file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), r.out) << ext;
    }
    EXPECT_FALSE(fs::exists(dir / "-.jpg"));
    EXPECT_FALSE(fs::exists(dir / "-"));
}

// A device, or a link to one or to a descriptor, is written as it is, never
// given the ".jpg" of a name without extension.
TEST_F(VrstoolConvert, ADeviceIsWrittenToAsItIsBeforeAnyExtensionRule) {
    write("p.vrs", 37, 23);
    ASSERT_FALSE(fs::exists("/dev/null.jpg"));
    ToolRun r = runTool({"convert", "-o", "/dev/null", "p.vrs"}, dir.path());
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_FALSE(fs::exists("/dev/null.jpg"));

    ASSERT_EQ(0, runTool({"convert", "-o", "p.jpg", "p.vrs"}, dir.path()).status);
    r = runTool({"convert", "-o", "/dev/stdout", "p.vrs"}, dir.path());  // a file here
    EXPECT_EQ(0, r.status) << r.err;
    const auto jpeg = readFile(dir / "p.jpg");
    EXPECT_EQ(std::string(jpeg.begin(), jpeg.end()), r.out);
    EXPECT_FALSE(fs::exists("/dev/stdout.jpg"));
    EXPECT_EQ((std::vector<std::string>{"p.jpg", "p.vrs"}), entries(dir.path()));
}

}  // namespace
}  // namespace vrs::testing
