// SPDX-License-Identifier: MIT
// A file that shrinks between its mapping and its decoding, as a capture
// re-taken or copied over while the viewer opens it.
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

TEST(LoaderChangedFileTest, AFileShrunkAfterItsMappingIsRefusedByName) {
    // The big one has 8 Mi pixels, the least that shares its rows with the
    // decoder's helper thread, which takes the bottom rows that are gone.
    for (const Case c : {Case{"small, 16 bits", 16, 61, 43}, Case{"small, 32 bits", 32, 37, 29},
                         Case{"helper thread", 32, 4096, 2048}}) {
        SCOPED_TRACE(c.what);
        testing::ScratchDir dir;
        VrsLayout layout;
        layout.depth = c.depth;
        layout.width = c.width;
        layout.height = c.height;
        const std::filesystem::path path = dir / "shot.vrs";
        ASSERT_TRUE(testing::writeFile(path, testing::makeHeader(layout)));
        // Sparse rows of zeros: the picture's content does not matter here.
        const auto length =
            196 + static_cast<std::uint64_t>(testing::layoutStride(layout)) * c.height;
        std::filesystem::resize_file(path, length);
        MappedFile file;
        ASSERT_TRUE(file.open(path.string())) << std::strerror(file.error());
        std::filesystem::resize_file(path, length / 2);

        testing::RecordingHost host;
        std::shared_ptr<Image> view;
        std::int64_t progress = 1;
        VirtualScreenInfo refusal;
        const std::shared_ptr<Image> full =
            loadVirtualScreen(file.data(), file.size(), &view, &progress, host, &refusal);
        EXPECT_FALSE(full);
        EXPECT_FALSE(view);
        EXPECT_EQ(refusal.error, LoadError::ChangedWhileRead);
        EXPECT_TRUE(host.alerts.empty());
    }
}

}  // namespace
}  // namespace vrs
