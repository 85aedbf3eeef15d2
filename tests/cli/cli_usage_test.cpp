// SPDX-License-Identifier: MIT
// Help texts, version and usage errors.
#include <gtest/gtest.h>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"

namespace vrs::testing {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(VrstoolUsage, EveryCommandExplainsItselfOnStdout) {
    ScratchDir dir;
    const struct {
        std::vector<std::string> args;
        std::string usage;
        std::vector<std::string> mentions;
    } cases[] = {
        {{"--help"},
         "Usage: vrstool COMMAND",
         {"info", "convert", "thumbnail", "--version", "Exit status"}},
        {{"info", "--help"},
         "Usage: vrstool info [--json] FILE...",
         {"--json", "view image", "Exit status"}},
        {{"convert", "--help"},
         "Usage: vrstool convert [--view] (-o OUT | -d DIR -f EXT) [-j N] [--quality N] FILE...",
         {"-o OUT", "-d DIR", "-f EXT", "--view", "-j N", "OUT.jpg", "never overwritten",
          "tiff or tif", "bmp or BMP", "gif or GIF", "png or PNG", "case matter", "Exit status"}},
        {{"thumbnail", "--help"},
         "Usage: vrstool thumbnail [-s SIZE] FILE OUT.png",
         {"-s SIZE", "default 256", "Exit status"}},
        // --help wins over anything else on the line.
        {{"convert", "-o", "x.png", "--help", "y.vrs"}, "Usage: vrstool convert", {}},
    };
    for (const auto& c : cases) {
        const ToolRun r = runTool(c.args, dir.path());
        EXPECT_EQ(0, r.status) << c.args[0];
        EXPECT_EQ(0u, r.out.rfind(c.usage, 0)) << r.out;
        for (const std::string& m : c.mentions) {
            EXPECT_TRUE(has(r.out, m)) << m;
        }
        EXPECT_EQ("", r.err);
    }
}

TEST(VrstoolUsage, Version) {
    ScratchDir dir;
    const ToolRun r = runTool({"--version"}, dir.path());
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(0u, r.out.rfind("vrstool ", 0));
    EXPECT_EQ('\n', r.out.back());
}

// Help and version are outputs like any other: a full disk is a failure.
TEST(VrstoolUsage, HelpAndVersionFailWhenTheyCannotBeWritten) {
    ScratchDir dir;
    for (const char* args : {"--help", "--version", "info --help", "thumbnail --help"}) {
        const int status = std::system((std::string("exec " VRSTOOL_PATH " ") + args +
                                        " >/dev/full 2>" + (dir / "err").string())
                                           .c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << args;
        const auto err = readFile(dir / "err");
        EXPECT_EQ("vrstool: standard output: No space left on device\n",
                  std::string(err.begin(), err.end()))
            << args;
    }
}

TEST(VrstoolUsage, MistakesExitWith2AndSayWhatIsWrong) {
    ScratchDir dir;
    const struct {
        std::vector<std::string> args;
        std::string words;
    } cases[] = {
        {{}, "Usage: vrstool COMMAND"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"info"}, "no FILE given"},
        {{"info", "--yaml", "a.vrs"}, "unknown option --yaml"},
        {{"convert", "a.vrs"}, "give either -o OUT or -d DIR -f EXT"},
        {{"convert", "-o", "x.png", "-d", "out", "-f", "png", "a.vrs"}, "give either"},
        {{"convert", "-o", "x.png", "a.vrs", "b.vrs"}, "-o writes one FILE"},
        {{"convert", "-d", "out", "a.vrs"}, "-d needs -f EXT"},
        {{"convert", "-d", "out", "-f", "JPG", "a.vrs"},
         "-f JPG is not one of tiff, tif, jpeg, jpg, bmp, BMP, gif, GIF, png, PNG"},
        {{"convert", "-j", "0", "-o", "x.png", "a.vrs"}, "-j takes a number"},
        {{"convert", "--quality", "101", "-o", "x.jpg", "a.vrs"}, "--quality takes a JPEG quality"},
        {{"convert", "-o", "x.png", "a.vrs", "-o"}, "-o needs a value"},
        {{"thumbnail", "-s", "0", "a.vrs", "t.png"}, "-s takes a size"},
        {{"thumbnail", "a.vrs"}, "give one FILE and one OUT.png"},
    };
    for (const auto& c : cases) {
        const ToolRun r = runTool(c.args, dir.path());
        EXPECT_EQ(2, r.status) << c.words;
        EXPECT_TRUE(has(r.err, c.words)) << r.err;
        EXPECT_EQ("", r.out);
    }
}

TEST(VrstoolUsage, GnuOptionForms) {
    ScratchDir dir;
    VrsLayout layout;
    layout.width = 13;
    layout.height = 7;
    ASSERT_TRUE(writeVrsFile((dir / "-a.vrs").string(), layout, samplePicture(13, 7)));
    const std::vector<std::string> forms[] = {
        {"convert", "-j2", "-ofirst.png", "--", "-a.vrs"},
        {"convert", "--jobs=2", "--output=second.png", "-q", "--", "-a.vrs"},
        {"convert", "--dir=.", "--format", "bmp", "--view", "--", "-a.vrs"},
        {"thumbnail", "-s8", "--", "-a.vrs", "third.png"},
        {"thumbnail", "--size=8", "--", "-a.vrs", "fourth.png"},
    };
    for (const auto& args : forms) {
        const ToolRun r = runTool(args, dir.path());
        EXPECT_EQ(0, r.status) << args[2] << ": " << r.err;
    }
    EXPECT_EQ((std::vector<std::string>{"-a.bmp", "-a.vrs", "first.png", "fourth.png", "second.png",
                                        "third.png"}),
              entries(dir.path()));
}

}  // namespace
}  // namespace vrs::testing
