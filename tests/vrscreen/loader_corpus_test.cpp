// Runs every file of the loader's fuzzing corpus through the same checked
// load as the fuzzer, without libFuzzer. Files named good-* must give an
// image, bad-* must be refused; any other file (a former finding) must only
// pass the checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "checked_load.h"
#include "test_support.h"

namespace vrs {
namespace {

TEST(LoaderCorpusTest, EveryCorpusFilePassesTheChecks) {
    const std::filesystem::path corpus = VRS_LOADER_CORPUS;
    int good = 0;
    int bad = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string name = entry.path().filename().string();
        const auto bytes = testing::readFile(entry.path());
        const bool loaded = fuzz::checkedLoad(bytes.data(), bytes.size());
        if (name.starts_with("good-")) {
            EXPECT_TRUE(loaded) << name;
            ++good;
        } else if (name.starts_with("bad-")) {
            EXPECT_FALSE(loaded) << name;
            ++bad;
        }
    }
    EXPECT_GE(good, 4);
    EXPECT_GE(bad, 4);
}

}  // namespace
}  // namespace vrs
