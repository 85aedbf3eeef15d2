// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "export/export_format.h"

namespace vrs {
namespace {

TEST(ExportFormat, ExactCaseSensitiveTable) {
    const std::pair<const char*, ImageFormat> accepted[] = {
        {"tiff", ImageFormat::Tiff}, {"tif", ImageFormat::Tiff}, {"jpeg", ImageFormat::Jpeg},
        {"jpg", ImageFormat::Jpeg},  {"bmp", ImageFormat::Bmp},  {"BMP", ImageFormat::Bmp},
        {"gif", ImageFormat::Gif},   {"GIF", ImageFormat::Gif},  {"png", ImageFormat::Png},
        {"PNG", ImageFormat::Png}};
    for (const auto& [ext, format] : accepted) {
        EXPECT_EQ(format, formatForExtension(ext)) << ext;
    }
    for (const char* ext :
         {"JPG", "JPEG", "TIFF", "TIF", "Png", "Bmp", "Gif", "jpg ", "", "webp"}) {
        EXPECT_FALSE(formatForExtension(ext).has_value()) << ext;
    }
}

TEST(ExportFormat, ExtensionIsAfterTheLastDotOfTheLastComponent) {
    EXPECT_EQ("png", pathExtension("/home/me/picture.png"));
    EXPECT_EQ("gz", pathExtension("archive.tar.gz"));
    EXPECT_EQ("", pathExtension("/home/me.d/picture"));
    EXPECT_EQ("", pathExtension("picture."));
    EXPECT_EQ("", pathExtension(".hidden"));
    EXPECT_EQ("png", pathExtension(".hidden.png"));
}

TEST(ExportFormat, ARequiredFormatNamesTheFileItHolds) {
    EXPECT_EQ(requiredExportName("pic", "png"), "pic.png");
    EXPECT_EQ(requiredExportName("dir/pic.", "png"), "dir/pic.png");
    EXPECT_EQ(requiredExportName("pic.tif", "png"), "pic.png") << "another format: replaced";
    EXPECT_EQ(requiredExportName("pic.JPG", "png"), "pic.png") << "in any case";
    EXPECT_EQ(requiredExportName("pic.Png", "png"), "pic.png");
    EXPECT_EQ(requiredExportName("shout.PNG", "png"), "shout.PNG") << "the format's own: kept";
    EXPECT_EQ(requiredExportName("pic.jpg", "jpeg"), "pic.jpg");
    EXPECT_EQ(requiredExportName("notes.v2", "gif"), "notes.v2.gif") << "not a format: kept";
    EXPECT_EQ(requiredExportName("a.b/.hidden", "bmp"), "a.b/.hidden.bmp");
}

TEST(ExportFormat, PathWithoutExtensionGetsJpg) {
    EXPECT_EQ("picture.jpg", exportPath("picture"));
    EXPECT_EQ("/a.b/picture.jpg", exportPath("/a.b/picture"));
    EXPECT_EQ("picture.jpg", exportPath("picture."));
    EXPECT_EQ("picture.PNG", exportPath("picture.PNG"));
    EXPECT_EQ("picture.JPG", exportPath("picture.JPG"));  // kept: the table refuses it later
    EXPECT_EQ("/tmp/", exportPath("/tmp/"));
}

}  // namespace
}  // namespace vrs
