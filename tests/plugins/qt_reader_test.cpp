// SPDX-License-Identifier: MIT
// The Qt image-format plugin as Qt programs meet it, through QImageReader
// (built once against Qt 6 and once against Qt 5; QT_PLUGIN_PATH points at
// the plugin built with it).
#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QString>

#include <filesystem>

#include "plugin_test_support.h"
#include "test_support.h"

namespace vrs::testing {
namespace {

QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// vrstool's PNG of a file (convert, or thumbnail with -s SIZE), read back by
// Qt's own PNG reader.
QImage vrstoolPicture(const std::filesystem::path& file, const std::filesystem::path& png,
                      int thumbnailSize = 0) {
    const bool made =
        thumbnailSize > 0
            ? runProgram({VRSTOOL_PATH, "thumbnail", "-s", std::to_string(thumbnailSize),
                          file.string(), png.string()})
            : runProgram({VRSTOOL_PATH, "convert", "-o", png.string(), file.string()});
    if (!made) {
        return {};
    }
    return QImage(qpath(png), "png").convertToFormat(QImage::Format_RGB32);
}

void expectSamePixels(const QImage& got, const QImage& want) {
    ASSERT_FALSE(want.isNull());
    ASSERT_EQ(got.size(), want.size());
    ASSERT_EQ(got.format(), QImage::Format_RGB32);
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << "at (" << x << ", " << y << ")";
        }
    }
}

class QtReaderTest : public ::testing::Test {
  protected:
    ScratchDir dir;
};

// The size and format come from the header alone: a file holding no row
// still tells them, and only its read fails.
TEST_F(QtReaderTest, SizeWithoutDecoding) {
    VrsLayout layout;
    layout.width = 300;
    layout.height = 200;
    const auto file = writeSample(dir.path(), "whole.vrs", layout);
    const auto header = dir / "header-only.vrs";
    std::vector<std::uint8_t> bytes = readFile(file);
    bytes.resize(196);
    ASSERT_TRUE(writeFile(header, bytes));
    QImageReader reader(qpath(header));
    EXPECT_EQ(reader.format(), QByteArray("vrs"));
    EXPECT_EQ(reader.size(), QSize(300, 200));
    EXPECT_EQ(reader.imageFormat(), QImage::Format_RGB32);
    EXPECT_TRUE(reader.read().isNull());
}

// Both header forms and both depths decode to vrstool's pixels; a file
// without the .vrs extension is recognised by its content.
TEST_F(QtReaderTest, FullReadMatchesVrstool) {
    VrsLayout sized;
    sized.width = 211;
    sized.height = 97;
    VrsLayout rect;
    rect.sized = false;
    rect.depth = 16;
    rect.width = 123;
    rect.height = 77;
    rect.top = 40;
    rect.left = -3;
    for (const auto& [name, layout] : {std::pair{"sized32", sized}, std::pair{"rect16", rect}}) {
        SCOPED_TRACE(name);
        const auto file = writeSample(dir.path(), std::string(name) + ".vrs", layout);
        const auto bare = dir / (std::string(name) + ".capture");
        std::filesystem::copy_file(file, bare);
        QImageReader reader(qpath(bare));
        const QImage got = reader.read();
        EXPECT_EQ(reader.format(), QByteArray("vrs"));
        expectSamePixels(got, vrstoolPicture(file, dir / (std::string(name) + ".png")));
    }
}

// A scaled read box-averages the rows into the asked size: vrstool's
// thumbnail of the same size, pixel for pixel.
TEST_F(QtReaderTest, ScaledSizeIsVrstoolThumbnail) {
    VrsLayout layout;
    layout.width = 300;
    layout.height = 200;
    const auto file = writeSample(dir.path(), "big.vrs", layout);
    QImageReader reader(qpath(file));
    reader.setScaledSize(QSize(96, 64));
    const QImage got = reader.read();
    expectSamePixels(got, vrstoolPicture(file, dir / "thumb.png", 96));
}

// A clip rectangle reads only its part: the full picture's pixels there; a
// rectangle wholly outside the picture gives no picture.
TEST_F(QtReaderTest, ClipRectReadsItsPart) {
    VrsLayout layout;
    layout.sized = false;
    layout.depth = 16;
    layout.width = 211;
    layout.height = 97;
    const auto file = writeSample(dir.path(), "rect16.vrs", layout);
    const QImage full = QImageReader(qpath(file)).read();
    QImageReader reader(qpath(file));
    reader.setClipRect(QRect(7, 60, 150, 37));
    expectSamePixels(reader.read(), full.copy(7, 60, 150, 37));
    QImageReader outside(qpath(file));
    outside.setClipRect(QRect(300, 0, 10, 10));
    EXPECT_TRUE(outside.read().isNull());
}

// Files whose headers claim 2^31 rows, their rows a hole but for the first
// 4 KB: read at a thumbnail's size, without pixel bytes or with 32-bit
// ones, each costs no more than a real picture of the same bytes.
TEST_F(QtReaderTest, ScaledReadOfSparseFileFollowsItsBytes) {
    const auto normalFile = writeSample(dir.path(), "normal.vrs", fourKilobyteCapture());
    auto readScaled = [](const std::filesystem::path& file) {
        return [file] {
            QImageReader reader(qpath(file));
            reader.setScaledSize(QSize(256, 256));
            static_cast<void>(reader.read());
        };
    };
    const double normalSeconds = childProcessorSeconds(readScaled(normalFile), 20);
    ASSERT_GT(normalSeconds, 0);
    for (const std::int32_t depth : {0, 32}) {
        SCOPED_TRACE(depth);
        const auto file = dir / ("sparse" + std::to_string(depth) + ".vrs");
        ASSERT_TRUE(writeSparseCapture(file, hostileClaim(depth), 4096));
        const double seconds = childProcessorSeconds(readScaled(file), 20);
        ASSERT_GE(seconds, 0) << "stopped after " << kProcessorLimit << " s of processor time";
        EXPECT_LT(seconds, 10 * normalSeconds);
        QImageReader reader(qpath(file));
        reader.setScaledSize(QSize(256, 256));
        const QImage black = reader.read();
        ASSERT_EQ(black.size(), QSize(256, 256));
        EXPECT_EQ(black.pixel(255, 255), qRgb(0, 0, 0));
    }
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
// A picture beyond Qt's allocation limit is told as such, not as a file
// that changed while it was read.
TEST_F(QtReaderTest, AllocationLimitIsToldAsSuch) {
    VrsLayout layout;
    layout.width = 1000;
    layout.height = 600;
    const auto file = writeSample(dir.path(), "big.vrs", layout);
    static std::string logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            logged += text.toStdString() + "\n";
        });
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const QImage image = QImageReader(qpath(file)).read();
    QImageReader::setAllocationLimit(limit);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(image.isNull());
    EXPECT_NE(logged.find("vrs: a picture of 1000 x 600 is beyond the allocation limit of 1 MB"),
              std::string::npos)
        << logged;
    EXPECT_EQ(logged.find("changed"), std::string::npos) << logged;
}
#endif

// Every refused file of the loader's corpus is refused by the plugin too,
// without a crash; every good one reads at its header's size.
TEST_F(QtReaderTest, CorpusRefusesBadFilesReadsGoodOnes) {
    const auto bad = corpusFiles("bad-");
    const auto good = corpusFiles("good-");
    ASSERT_GE(bad.size(), 5U);
    ASSERT_GE(good.size(), 5U);
    for (const auto& path : bad) {
        QImageReader reader(qpath(path), "vrs");
        EXPECT_TRUE(reader.read().isNull()) << path;
    }
    for (const auto& path : good) {
        QImageReader reader(qpath(path), "vrs");
        const QSize size = reader.size();
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull()) << path << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), size) << path;
    }
}

}  // namespace
}  // namespace vrs::testing
