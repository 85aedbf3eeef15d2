// SPDX-License-Identifier: MIT
// The viewer's translated words say in English what vrstool says, for every
// cause, and name the file.
#include "app/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/decode_host.h"
#include "platform/regular_file.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace {

using vrs::ExportError;
using vrs::LoadError;

vrs::VirtualScreenInfo refused(LoadError error, std::int64_t width, std::int64_t bitmapBytes) {
    vrs::VirtualScreenInfo info;
    info.error = error;
    info.fileSize = 1234567;
    info.version = -3;
    info.layout = {width, 7, 16, 2999, vrs::kHeaderSize};
    info.bytesNeeded = 2345678;
    info.bitmapBytes = static_cast<std::uint64_t>(bitmapBytes);
    info.format = vrs::PictureFormat::WebP;
    std::memcpy(info.firstBytes, "%!PS-Ado", vrs::kFirstBytesShown);
    return info;
}

TEST(ErrorText, EveryLoadRefusalNamesTheFileWithTheCommandLineFigures) {
    const std::string prefix = "This file can't be read: ";
    for (const LoadError e :
         {LoadError::TooShortForHeader, LoadError::OldVersion, LoadError::EmptyBounds,
          LoadError::ZeroSize, LoadError::StrideTooSmall, LoadError::TruncatedRows,
          LoadError::OtherFormat, LoadError::NotVirtualScreen}) {
        const vrs::VirtualScreenInfo info = refused(e, 1501, 0);
        const std::string english = vrs::describeLoadError(info);
        ASSERT_EQ(0u, english.rfind(prefix, 0)) << english;
        EXPECT_EQ("The file \"sh\u00F6t.vrs\" can't be read: " + english.substr(prefix.size()),
                  ErrorText::loadRefusal(info, QStringLiteral("sh\u00F6t.vrs")).toStdString());
    }
    for (const std::int64_t bitmap : {0, 98765432}) {
        const vrs::VirtualScreenInfo info = refused(LoadError::TooLarge, -60001, bitmap);
        EXPECT_EQ("The file \"a.vrs\" can't be read: " +
                      vrs::describeLoadError(info).substr(prefix.size()),
                  ErrorText::loadRefusal(info, QStringLiteral("a.vrs")).toStdString());
    }
    EXPECT_EQ(
        "The file \"a.vrs\" changed while it was being read.",
        ErrorText::loadRefusal(refused(LoadError::ChangedWhileRead, 1, 0), QStringLiteral("a.vrs"))
            .toStdString());
}

TEST(ErrorText, ExportFailuresReadAsTheCommandLineWordsThem) {
    std::vector<vrs::ExportResult> results;
    for (const int e : {ENOSPC, EDQUOT, EROFS, EACCES, EPERM, ENOENT, ENOTDIR, EISDIR, ENAMETOOLONG,
                        EFBIG, EIO, vrs::kNotRegularFile, EMLINK}) {
        results.push_back({ExportError::WriteFailed, e, "/tmp/d\u00E9j\u00E0/p.png"});
    }
    results.push_back({ExportError::UnknownExtension, 0, "p.JPG"});
    results.push_back({ExportError::ConversionFailed, 0, "p.png"});
    results.push_back({ExportError::TooLarge, 0, "w.gif", 65536, 3, vrs::ImageFormat::Gif});
    results.push_back({ExportError::TooLarge, 0, "w.bmp", 40000, 40000, vrs::ImageFormat::Bmp});
    results.push_back({ExportError::EmptyPicture, 0, "v.png", 1600, 0});
    for (const vrs::ExportResult& r : results) {
        EXPECT_EQ(vrs::describeExportResult(r), ErrorText::exportFailure(r).toStdString())
            << r.sysError;
    }
}

// The decoder's words for a picture whose memory could not be had are kept,
// and the file and the size it asked for are said with them.
TEST(ErrorText, MemoryThatCannotBeHadKeepsTheDecodersWordsAndNamesTheFile) {
    vrs::testing::RecordingHost host;
    vrs::testing::VrsLayout layout;
    layout.width = 16000;
    layout.height = 12000;
    const std::vector<std::uint8_t> header = vrs::testing::makeHeader(layout);
    DecodeHost decodeHost(host, QStringLiteral("huge.vrs"), header.data(), header.size());
    decodeHost.alert("MakeNewImageRep is nil");
    EXPECT_EQ(host.alerts,
              std::vector<std::string>{"MakeNewImageRep is nil\nThere is not enough memory for the "
                                       "picture of the file \"huge.vrs\", 16000 x 12000 pixels."});
}

}  // namespace
