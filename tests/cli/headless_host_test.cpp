// SPDX-License-Identifier: MIT
#include "cli/headless_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vrs {
namespace {

std::string contents(std::FILE* f) {
    std::rewind(f);
    std::string text;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

TEST(HeadlessHostTest, AlertsBecomePrefixedLines) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    HeadlessHost host(f, "tool: ");
    host.alert("first");
    host.alert("second");
    EXPECT_EQ(contents(f), "tool: first\ntool: second\n");
    EXPECT_EQ(host.lastAlert(), "second");
    EXPECT_EQ(host.alertCount(), 2);
    EXPECT_EQ(std::fclose(f), 0);
}

TEST(HeadlessHostTest, SilentWithoutAStreamAndNeverMakesWindows) {
    HeadlessHost host(nullptr);
    host.alert("kept");
    EXPECT_EQ(host.lastAlert(), "kept");
    EXPECT_EQ(host.makeProgressWindow(), nullptr);
}

}  // namespace
}  // namespace vrs
