// SPDX-License-Identifier: MIT
// A file that shrinks between its mapping and its decoding, as a capture
// re-taken or copied over while the viewer opens it; and rows read from the
// file's descriptor rather than from its mapping.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/mapped_file.h"
#include "test_support.h"
#include "vrs_writer.h"
#include "vrscreen/loader.h"

namespace vrs {
namespace {

using testing::VrsLayout;

struct Case {
    const char* what;
    std::int32_t depth;
    std::uint32_t width;
    std::uint32_t height;
};

VrsLayout layoutOf(const Case& c) {
    VrsLayout layout;
    layout.depth = c.depth;
    layout.width = c.width;
    layout.height = c.height;
    return layout;
}

TEST(LoaderChangedFileTest, AFileShrunkAfterItsMappingIsRefusedByName) {
    // The big one has 8 Mi pixels, the least that shares its rows with the
    // decoder's helper thread, which takes the bottom rows that are gone.
    for (const Case c : {Case{"small, 16 bits", 16, 61, 43}, Case{"small, 32 bits", 32, 37, 29},
                         Case{"helper thread", 32, 4096, 2048}}) {
        SCOPED_TRACE(c.what);
        testing::ScratchDir dir;
        VrsLayout layout = layoutOf(c);
        const std::filesystem::path path = dir / "shot.vrs";
        ASSERT_TRUE(testing::writeFile(path, testing::makeHeader(layout)));
        // Sparse rows of zeros: the picture's content does not matter here.
        const auto length =
            196 + static_cast<std::uint64_t>(testing::layoutStride(layout)) * c.height;
        std::filesystem::resize_file(path, length);
        for (const bool byDescriptor : {false, true}) {
            SCOPED_TRACE(byDescriptor ? "rows read from the descriptor" : "rows read mapped");
            ASSERT_TRUE(testing::writeFile(path, testing::makeHeader(layout)));
            std::filesystem::resize_file(path, length);
            MappedFile file;
            ASSERT_TRUE(file.open(path.string())) << std::strerror(file.error());
            std::filesystem::resize_file(path, length / 2);

            testing::RecordingHost host;
            std::shared_ptr<Image> view;
            std::int64_t progress = 1;
            VirtualScreenInfo refusal;
            const std::shared_ptr<Image> full =
                loadVirtualScreen(file.data(), file.size(), &view, &progress, host, &refusal,
                                  byDescriptor ? file.fd() : -1);
            EXPECT_FALSE(full);
            EXPECT_FALSE(view);
            EXPECT_EQ(refusal.error, LoadError::ChangedWhileRead);
            EXPECT_TRUE(host.alerts.empty());
        }
    }
}

// Rows read with pread, in chunks shared by two threads, or one at a time
// where the padding between rows outweighs them, decode to the same images
// as rows read from the mapping.
TEST(LoaderDescriptorTest, RowsReadFromTheDescriptorDecodeAsMapped) {
    for (const Case c :
         {Case{"16 bits, wide padding", 16, 61, 43}, Case{"helper thread", 32, 4096, 2051}}) {
        SCOPED_TRACE(c.what);
        testing::ScratchDir dir;
        VrsLayout layout = layoutOf(c);
        if (c.depth == 16) {
            layout.stride = 2 * c.width * 3 + 6;
        }
        const std::filesystem::path path = dir / "shot.vrs";
        ASSERT_TRUE(
            testing::writeFile(path, testing::makeVrs(layout, [](std::int64_t x, std::int64_t y) {
                                   return testing::Rgb{static_cast<std::uint8_t>(x * 5 + y),
                                                       static_cast<std::uint8_t>(y * 3),
                                                       static_cast<std::uint8_t>(x ^ (y << 2))};
                               })));
        MappedFile file;
        ASSERT_TRUE(file.open(path.string())) << std::strerror(file.error());
        std::shared_ptr<Image> images[2][2];  // [by descriptor][full, view]
        for (const int byDescriptor : {0, 1}) {
            testing::RecordingHost host;
            std::int64_t progress = 1;
            images[byDescriptor][0] =
                loadVirtualScreen(file.data(), file.size(), &images[byDescriptor][1], &progress,
                                  host, nullptr, byDescriptor != 0 ? file.fd() : -1);
            ASSERT_TRUE(images[byDescriptor][0]);
            ASSERT_TRUE(images[byDescriptor][1]);
        }
        for (int which = 0; which < 2; ++which) {
            const PlanarBitmap& mapped = *images[0][which]->rep();
            const PlanarBitmap& read = *images[1][which]->rep();
            for (int plane = 0; plane < PlanarBitmap::kPlanes; ++plane) {
                for (std::int64_t y = 0; y < mapped.height(); ++y) {
                    ASSERT_EQ(std::memcmp(mapped.plane(plane) + y * mapped.bytesPerRow(),
                                          read.plane(plane) + y * read.bytesPerRow(),
                                          static_cast<std::size_t>(mapped.width())),
                              0)
                        << "image " << which << ", plane " << plane << ", row " << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vrs
