// SPDX-License-Identifier: MIT
// The export as the viewer calls it: table, progress window, messages, files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "export/export_image.h"
#include "picture_support.h"
#include "test_support.h"

namespace vrs::testing {
namespace {

namespace fs = std::filesystem;

class ExportImage : public ::testing::Test {
  protected:
    ScratchDir dir;
    RecordingHost host;
    std::shared_ptr<Image> image = makeImage(45, 31, rainbow);
    const std::vector<std::uint8_t> old{'o', 'l', 'd'};
};

TEST_F(ExportImage, EachTableEntryWritesItsFormat) {
    const std::pair<const char*, const char*> table[] = {
        {"tiff", "II*"},    {"tif", "II*"},    {"jpeg", "\xFF\xD8"}, {"jpg", "\xFF\xD8"},
        {"bmp", "BM"},      {"BMP", "BM"},     {"gif", "GIF"},       {"GIF", "GIF"},
        {"png", "\x89PNG"}, {"PNG", "\x89PNG"}};
    for (const auto& [ext, magic] : table) {
        const fs::path target = dir / (std::string("picture.") + ext);
        const ExportResult r = exportImage(*image, target.string(), 1, host);
        EXPECT_TRUE(r.ok()) << ext;
        const auto bytes = readFile(target);
        ASSERT_GE(bytes.size(), 4u) << ext;
        EXPECT_EQ(0, std::memcmp(bytes.data(), magic, std::strlen(magic))) << ext;
        EXPECT_EQ(QSize(45, 31), readBack(bytes).size()) << ext;
    }
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_EQ(0, host.progress.created);  // counter 1: no window
}

TEST_F(ExportImage, NoExtensionMeansJpegInPathDotJpg) {
    const ExportResult r = exportImage(*image, (dir / "picture").string(), 1, host);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ((dir / "picture.jpg").string(), r.path);
    EXPECT_EQ(std::vector<std::string>{"picture.jpg"}, entries(dir.path()));
    EXPECT_FALSE(readBack(readFile(dir / "picture.jpg")).isNull());
}

TEST_F(ExportImage, ExtensionOutsideTheTableWritesNothingAndSaysWhy) {
    for (const char* name : {"picture.JPG", "picture.TIFF", "picture.Bmp", "picture.Png"}) {
        host.alerts.clear();
        const ExportResult r = exportImage(*image, (dir / name).string(), 1, host);
        EXPECT_EQ(ExportError::UnknownExtension, r.error);
        ASSERT_EQ(1u, host.alerts.size()) << name;
        const std::string ext = std::string(name).substr(8);
        EXPECT_NE(std::string::npos, host.alerts[0].find("\u201C" + ext + "\u201D"));
        EXPECT_NE(std::string::npos,
                  host.alerts[0].find(
                      "is not one of tiff, tif, jpeg, jpg, bmp, BMP, gif, GIF, png, PNG"));
    }
    EXPECT_TRUE(entries(dir.path()).empty());
}

TEST_F(ExportImage, TheFileHoldsTheFullImageNotAViewSizedOne) {
    // Larger than the 1600 x 1200 view image in both directions.
    const auto big = makeImage(2003, 1301, rainbow);
    ASSERT_TRUE(exportImage(*big, (dir / "big.png").string(), 1, host).ok());
    EXPECT_EQ(0, differingPixels(readBack(readFile(dir / "big.png")), *big));
}

TEST_F(ExportImage, SlowDocumentShowsTheStepsInOrder) {
    ASSERT_TRUE(exportImage(*image, (dir / "p.png").string(), 2, host).ok());
    EXPECT_EQ((std::vector<std::string>{"make tiff data", "convert to png data", "write to file"}),
              host.progress.titles);
    EXPECT_EQ(3, host.progress.displays);  // every title is displayed at once
    EXPECT_TRUE(host.progress.indeterminate);
    EXPECT_TRUE(host.progress.animating);
    EXPECT_EQ(1, host.progress.created);
    EXPECT_FALSE(host.progress.open());

    const std::pair<const char*, const char*> steps[] = {{"p.tif", nullptr},
                                                         {"p.jpeg", "convert to jpeg data"},
                                                         {"p.BMP", "convert to bitmap data"},
                                                         {"p.gif", "convert to gif data"}};
    for (const auto& [name, title] : steps) {
        host.progress = {};
        ASSERT_TRUE(exportImage(*image, (dir / name).string(), 7, host).ok());
        std::vector<std::string> want{"make tiff data"};
        if (title != nullptr) {
            want.emplace_back(title);
        }
        want.emplace_back("write to file");
        EXPECT_EQ(want, host.progress.titles) << name;
        EXPECT_FALSE(host.progress.open());
    }
}

TEST_F(ExportImage, UnknownExtensionShowsOnlyTheFirstTitle) {
    exportImage(*image, (dir / "p.JPG").string(), 2, host);
    EXPECT_EQ(std::vector<std::string>{"make tiff data"}, host.progress.titles);
    EXPECT_FALSE(host.progress.open());
    EXPECT_EQ(1u, host.alerts.size());
}

TEST_F(ExportImage, NoWindowWhenTheHostCannotMakeOne) {
    host.refuseProgressWindows = true;
    EXPECT_TRUE(exportImage(*image, (dir / "p.png").string(), 5, host).ok());
    EXPECT_TRUE(host.progress.titles.empty());
}

// Injects one errno into the writer's system calls.
class FaultyOps : public FileOps {
  public:
    int tempErrno = 0;
    int writeErrno = 0;
    int makeTemp(char* pattern) override {
        if (tempErrno != 0) {
            errno = tempErrno;
            return -1;
        }
        return FileOps::makeTemp(pattern);
    }
    int makeUnnamedTemp(const char* folder) override {
        if (tempErrno != 0) {
            errno = tempErrno;
            return -1;
        }
        return FileOps::makeUnnamedTemp(folder);
    }
    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override {
        if (writeErrno != 0) {
            errno = writeErrno;
            return -1;
        }
        return FileOps::pwrite(fd, data, size, offset);
    }
};

TEST_F(ExportImage, WriteFailuresAreToldInPlainWordsAndChangeNothing) {
    struct Case {
        const char* what;
        int tempErrno, writeErrno;
        const char* words;
    };
    for (const Case& c : {Case{"full disk", 0, ENOSPC, "the disk is full"},
                          Case{"read-only disk", EROFS, 0, "the disk is read-only"},
                          Case{"quota", 0, EDQUOT, "quota"}}) {
        SCOPED_TRACE(c.what);
        host.alerts.clear();
        host.progress = {};
        ASSERT_TRUE(writeFile(dir / "p.png", old));
        FaultyOps ops;
        ops.tempErrno = c.tempErrno;
        ops.writeErrno = c.writeErrno;
        const ExportResult r = exportImage(*image, (dir / "p.png").string(), 2, host, ops);
        EXPECT_EQ(ExportError::WriteFailed, r.error);
        ASSERT_EQ(1u, host.alerts.size());
        EXPECT_NE(std::string::npos, host.alerts[0].find(c.words)) << host.alerts[0];
        EXPECT_NE(std::string::npos, host.alerts[0].find("p.png"));
        EXPECT_EQ(old, readFile(dir / "p.png"));
        EXPECT_EQ(std::vector<std::string>{"p.png"}, entries(dir.path()));
        EXPECT_FALSE(host.progress.open());
    }
}

TEST_F(ExportImage, FoldersThatCannotBeWritten) {
    ASSERT_TRUE(writeFile(dir / "plain", old));
    // Root may write anywhere chmod allows; sysfs refuses new files even to root.
    const std::pair<std::string, const char*> cases[] = {
        {"/sys/p.png", "the folder \u201C/sys\u201D is not writable"},
        {(dir / "missing" / "p.png").string(), "does not exist"},
        {(dir / "plain" / "p.png").string(), "not a folder"}};
    for (const auto& [path, words] : cases) {
        host.alerts.clear();
        const ExportResult r = exportImage(*image, path, 1, host);
        EXPECT_EQ(ExportError::WriteFailed, r.error) << path;
        ASSERT_EQ(1u, host.alerts.size());
        EXPECT_NE(std::string::npos, host.alerts[0].find(words)) << host.alerts[0];
    }
    EXPECT_EQ(std::vector<std::string>{"plain"}, entries(dir.path()));
}

// A source that cannot deliver a row in the middle of the picture.
class BrokenSource final : public RowSource {
  public:
    explicit BrokenSource(const Image& image) : inner_(*image.rep()) {}
    std::int64_t width() const override { return inner_.width(); }
    std::int64_t height() const override { return inner_.height(); }
    bool row(std::int64_t y, RgbRow* out) override {
        return y != height() / 2 && inner_.row(y, out);
    }

  private:
    BitmapRowSource inner_;
};

TEST_F(ExportImage, ConversionFailureAlertsOnceAndKeepsTheTarget) {
    for (const char* name : {"p.png", "p.jpg", "p.tif", "p.gif", "p.bmp"}) {
        host.alerts.clear();
        host.progress = {};
        ASSERT_TRUE(writeFile(dir / name, old));
        BrokenSource source(*image);
        const ExportResult r = exportRows(source, (dir / name).string(), 2, host);
        EXPECT_EQ(ExportError::ConversionFailed, r.error) << name;
        EXPECT_EQ(std::vector<std::string>{"This big picture couldn't be converted."}, host.alerts);
        EXPECT_EQ(old, readFile(dir / name));
        EXPECT_EQ(std::vector<std::string>{name}, entries(dir.path()));
        ASSERT_FALSE(host.progress.titles.empty());
        EXPECT_NE("write to file", host.progress.titles.back());
        EXPECT_FALSE(host.progress.open());
        fs::remove(dir / name);
    }
}

TEST_F(ExportImage, PictureTooWideForGifIsRefusedWithItsLimit) {
    const auto wide = makeImage(65536, 2, rainbow);
    const ExportResult r = exportImage(*wide, (dir / "wide.gif").string(), 1, host);
    EXPECT_EQ(ExportError::TooLarge, r.error);
    EXPECT_EQ(std::vector<std::string>{"This big picture couldn't be converted: GIF holds at most "
                                       "65535 pixels a side, and it is 65536 x 2."},
              host.alerts);
    EXPECT_TRUE(entries(dir.path()).empty());
}

}  // namespace
}  // namespace vrs::testing
