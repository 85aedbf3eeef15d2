// SPDX-License-Identifier: MIT
// Runs every file of each fuzzing corpus through the same checks as its
// fuzzer, without libFuzzer. Files named good-* must be read, bad-* must be
// refused; any other file (a former finding) must only pass the checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "checked_convert.h"
#include "checked_load.h"
#include "test_support.h"
#ifdef VRS_REPLAY_PIXBUF
#include "checked_pixbuf.h"
#endif
#ifdef VRS_REPLAY_QT
#include "checked_qt.h"
#endif

namespace vrs {
namespace {

using Checked = bool (*)(const std::uint8_t*, std::size_t);

void replay(const std::filesystem::path& corpus, Checked checked) {
    int good = 0;
    int bad = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string name = entry.path().filename().string();
        const auto bytes = testing::readFile(entry.path());
        const bool read = checked(bytes.data(), bytes.size());
        if (name.starts_with("good-")) {
            EXPECT_TRUE(read) << name;
            ++good;
        } else if (name.starts_with("bad-")) {
            EXPECT_FALSE(read) << name;
            ++bad;
        }
    }
    EXPECT_GE(good, 4);
    EXPECT_GE(bad, 4);
}

TEST(LoaderCorpusTest, EveryCorpusFilePassesTheChecks) {
    replay(VRS_CORPUS_DIR "/loader", fuzz::checkedLoad);
}

TEST(ConvertCorpusTest, EveryCorpusFilePassesTheChecks) {
    replay(VRS_CORPUS_DIR "/convert", fuzz::checkedConvert);
}

// The plugins' fuzzers start from the loader's corpus.
#ifdef VRS_REPLAY_PIXBUF
TEST(PixbufCorpusTest, EveryCorpusFilePassesTheChecks) {
    replay(VRS_CORPUS_DIR "/loader", fuzz::checkedPixbuf);
}
#endif

#ifdef VRS_REPLAY_QT
TEST(QtPluginCorpusTest, EveryCorpusFilePassesTheChecks) {
    replay(VRS_CORPUS_DIR "/loader", fuzz::checkedQtRead);
}
#endif

}  // namespace
}  // namespace vrs
