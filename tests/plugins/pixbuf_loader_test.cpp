// SPDX-License-Identifier: MIT
// The GdkPixbuf loader as GTK programs meet it: a GdkPixbufLoader fed in
// pieces, gdk_pixbuf_new_from_file, and gdk-pixbuf-thumbnailer. The loader
// is found through GDK_PIXBUF_MODULE_FILE (a cache naming the built
// loader) and the file type through XDG_DATA_DIRS (the built MIME database).
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin_test_support.h"
#include "test_support.h"

namespace vrs::testing {
namespace {

// Owns a GdkPixbuf and compares pixels whatever the row padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, no padding
    friend bool operator==(const Picture&, const Picture&) = default;
};

Picture pictureOf(GdkPixbuf* pixbuf) {
    Picture p;
    if (pixbuf == nullptr) {
        return p;
    }
    p.width = gdk_pixbuf_get_width(pixbuf);
    p.height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    for (int y = 0; y < p.height; ++y) {
        const guint8* row = pixels + y * gdk_pixbuf_get_rowstride(pixbuf);
        for (int x = 0; x < p.width; ++x) {
            p.rgb.insert(p.rgb.end(), row + x * channels, row + x * channels + 3);
        }
    }
    return p;
}

Picture fromFile(const std::filesystem::path& path, std::string* error = nullptr) {
    GError* e = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &e);
    if (e != nullptr) {
        if (error != nullptr) {
            *error = e->message;
        }
        g_error_free(e);
    }
    Picture p = pictureOf(pixbuf);
    if (pixbuf != nullptr) {
        g_object_unref(pixbuf);
    }
    return p;
}

struct Fed {
    Picture picture;
    int updates = 0;
    int updatedRows = 0;   // the heights of the updated areas, added up
    int lowestUpdate = 0;  // the bottom of the lowest updated area
    std::string error;
};

// The file's bytes written to a GdkPixbufLoader `piece` bytes at a time,
// the picture asked for at width x height when they are given.
Fed feed(const std::vector<std::uint8_t>& bytes, std::size_t piece, int width = 0, int height = 0) {
    Fed fed;
    GError* e = nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("vrs", &e);
    if (loader == nullptr) {
        fed.error = e != nullptr ? e->message : "no loader";
        g_clear_error(&e);
        return fed;
    }
    if (width > 0) {
        gdk_pixbuf_loader_set_size(loader, width, height);
    }
    g_signal_connect(loader, "area-updated",
                     G_CALLBACK(+[](GdkPixbufLoader*, int, int y, int, int h, gpointer data) {
                         auto* f = static_cast<Fed*>(data);
                         ++f->updates;
                         f->updatedRows += h;
                         f->lowestUpdate = std::max(f->lowestUpdate, y + h);
                     }),
                     &fed);
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size(); at += piece) {
        ok = gdk_pixbuf_loader_write(loader, bytes.data() + at, std::min(piece, bytes.size() - at),
                                     &e) == TRUE;
    }
    ok = gdk_pixbuf_loader_close(loader, ok ? &e : nullptr) == TRUE && ok;
    if (e != nullptr) {
        fed.error = e->message;
        g_clear_error(&e);
    }
    if (ok) {
        fed.picture = pictureOf(gdk_pixbuf_loader_get_pixbuf(loader));
    } else if (fed.error.empty()) {
        fed.error = "refused without a message";
    }
    g_object_unref(loader);
    return fed;
}

class PixbufLoaderTest : public ::testing::Test {
  protected:
    // GIO finds the file type in the built MIME database before the system's.
    static void SetUpTestSuite() { setenv("XDG_DATA_DIRS", MIME_DATA_DIR ":/usr/share", 1); }
    ScratchDir dir;
};

// A 32-bit picture with the sized header and a 16-bit one with the rectangle
// header, of odd sizes.
std::vector<std::pair<const char*, VrsLayout>> sampleLayouts() {
    VrsLayout sized;
    sized.width = 400;
    sized.height = 300;
    VrsLayout rect;
    rect.sized = false;
    rect.depth = 16;
    rect.width = 151;
    rect.height = 89;
    return {{"sized32", sized}, {"rect16", rect}};
}

// Fed a byte at a time or 64 KiB at a time, and read whole from the file,
// the picture is vrstool's, and the rows show as they come.
TEST_F(PixbufLoaderTest, PiecesAndFilesGiveVrstoolPixels) {
    for (const auto& [name, layout] : sampleLayouts()) {
        SCOPED_TRACE(name);
        const auto file = writeSample(dir.path(), std::string(name) + ".vrs", layout);
        const auto png = dir / (std::string(name) + ".png");
        ASSERT_TRUE(runProgram({VRSTOOL_PATH, "convert", "-o", png.string(), file.string()}));
        const Picture want = fromFile(png);
        ASSERT_EQ(want.width, static_cast<int>(layout.width));
        const std::vector<std::uint8_t> bytes = readFile(file);
        const Fed bytewise = feed(bytes, 1);
        EXPECT_EQ(bytewise.error, "");
        EXPECT_TRUE(bytewise.picture == want);
        // Rows are handed over as they come, after the first eighth that
        // justifies the picture's memory.
        EXPECT_GT(bytewise.updates, static_cast<int>(layout.height) * 3 / 4);
        const Fed pieces = feed(bytes, 64 << 10);
        EXPECT_EQ(pieces.error, "");
        EXPECT_TRUE(pieces.picture == want);
        EXPECT_TRUE(fromFile(file) == want);
    }
}

// Asked for a smaller size, fed a byte or 64 KiB at a time, the loader gives
// vrstool's thumbnail of that size pixel for pixel, and reports each of its
// rows once as it is done.
TEST_F(PixbufLoaderTest, SmallerSizeIsVrstoolThumbnail) {
    for (const auto& [name, layout] : sampleLayouts()) {
        SCOPED_TRACE(name);
        const auto file = writeSample(dir.path(), std::string(name) + ".vrs", layout);
        const auto png = dir / (std::string(name) + ".png");
        ASSERT_TRUE(
            runProgram({VRSTOOL_PATH, "thumbnail", "-s", "50", file.string(), png.string()}));
        const Picture want = fromFile(png);
        ASSERT_EQ(want.width, 50);
        ASSERT_LT(want.height, static_cast<int>(layout.height) / 2);
        const std::vector<std::uint8_t> bytes = readFile(file);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{64} << 10}) {
            SCOPED_TRACE(piece);
            const Fed fed = feed(bytes, piece, want.width, want.height);
            EXPECT_EQ(fed.error, "");
            EXPECT_TRUE(fed.picture == want);
            EXPECT_EQ(fed.updatedRows, want.height);
            EXPECT_EQ(fed.lowestUpdate, want.height);
        }
    }
}

// Asked for a larger size, the loader loads the full picture and GdkPixbuf
// scales it up.
TEST_F(PixbufLoaderTest, LargerSizeScalesTheFullPicture) {
    VrsLayout layout;
    layout.sized = false;
    layout.depth = 16;
    layout.width = 151;
    layout.height = 89;
    const auto file = writeSample(dir.path(), "rect.vrs", layout);
    const auto png = dir / "rect.png";
    ASSERT_TRUE(runProgram({VRSTOOL_PATH, "convert", "-o", png.string(), file.string()}));
    GdkPixbuf* full = gdk_pixbuf_new_from_file(png.c_str(), nullptr);
    ASSERT_NE(full, nullptr);
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(full, 302, 178, GDK_INTERP_BILINEAR);
    const Picture want = pictureOf(scaled);
    g_object_unref(scaled);
    g_object_unref(full);
    const Fed fed = feed(readFile(file), 4096, 302, 178);
    EXPECT_EQ(fed.error, "");
    EXPECT_TRUE(fed.picture == want);
}

// A file cut short is an error in every path, worded as the loader words it.
TEST_F(PixbufLoaderTest, TruncatedFileIsAnError) {
    VrsLayout layout;
    layout.width = 64;
    layout.height = 48;
    std::vector<std::uint8_t> bytes = readFile(writeSample(dir.path(), "whole.vrs", layout));
    bytes.resize(bytes.size() - 100);
    const Fed fed = feed(bytes, 4096);
    EXPECT_NE(fed.error.find("only 12,940 bytes follow it"), std::string::npos) << fed.error;
    const auto cut = dir / "cut.vrs";
    ASSERT_TRUE(writeFile(cut, bytes));
    std::string error;
    EXPECT_EQ(fromFile(cut, &error).width, 0);
    EXPECT_NE(error.find("only 12,940 bytes follow it"), std::string::npos) << error;
}

// Every refused file of the loader's corpus is refused, fed or read whole;
// every good one loads at its size.
TEST_F(PixbufLoaderTest, CorpusRefusesBadFilesLoadsGoodOnes) {
    for (const auto& path : corpusFiles("bad-")) {
        const Fed fed = feed(readFile(path), 7);
        EXPECT_NE(fed.error, "") << path;
        std::string error;
        EXPECT_EQ(fromFile(path, &error).width, 0) << path;
        EXPECT_NE(error, "") << path;
    }
    for (const auto& path : corpusFiles("good-")) {
        const Fed fed = feed(readFile(path), 5);
        EXPECT_EQ(fed.error, "") << path;
        EXPECT_GT(fed.picture.width, 0) << path;
        EXPECT_TRUE(fromFile(path) == fed.picture) << path;
    }
}

// A 4 KB file whose header claims 2^31 rows without pixel bytes, asked for
// a thumbnail's size as file managers ask: the loader counts a row only once
// its bytes came, so it works no more on it than on a real picture of the
// same length, and refuses it for what is missing.
TEST_F(PixbufLoaderTest, HostileHeaderCostsNoMoreThanAPictureOfItsLength) {
    const auto hostile = readFile(corpusFiles("bad-sized-0-8188x2147483647").at(0));
    const auto normal = readFile(writeSample(dir.path(), "normal.vrs", fourKilobyteCapture()));
    ASSERT_EQ(hostile.size(), normal.size());
    const double normalSeconds = childProcessorSeconds([&] { feed(normal, 4096, 256, 256); }, 20);
    const double hostileSeconds = childProcessorSeconds([&] { feed(hostile, 4096, 256, 256); }, 20);
    ASSERT_GT(normalSeconds, 0);
    ASSERT_GE(hostileSeconds, 0) << "stopped after " << kProcessorLimit << " s of processor time";
    EXPECT_LT(hostileSeconds, 10 * normalSeconds);
    const Fed refused = feed(hostile, 4096, 256, 256);
    EXPECT_NE(refused.error.find("only 4,096 bytes follow it"), std::string::npos) << refused.error;
}

// gdk-pixbuf-thumbnailer, as file managers run it, makes a 128-pixel
// thumbnail with the sample's red mark at its top-left corner.
TEST_F(PixbufLoaderTest, ThumbnailerMakesThumbnail) {
#ifdef VRS_SANITIZED
    GTEST_SKIP() << "a sanitizer build's loader cannot load into the system's thumbnailer";
#endif
    VrsLayout layout;
    layout.width = 640;
    layout.height = 480;
    const auto file = writeSample(dir.path(), "shot.vrs", layout);
    const auto png = dir / "thumb.png";
    ASSERT_TRUE(runProgram({PIXBUF_THUMBNAILER, "-s", "128", file.string(), png.string()}));
    const Picture thumb = fromFile(png);
    ASSERT_EQ(thumb.width, 128);
    ASSERT_EQ(thumb.height, 96);
    EXPECT_GT(thumb.rgb[0], 200);  // red
    EXPECT_LT(thumb.rgb[1], 60);
    EXPECT_LT(thumb.rgb[2], 60);
}

}  // namespace
}  // namespace vrs::testing
