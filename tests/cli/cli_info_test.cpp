// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "run_tool.h"
#include "sample_picture.h"
#include "test_support.h"
#include "vrs_writer.h"
#include "vrscreen/loader.h"

namespace vrs::testing {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class VrstoolInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        VrsLayout sized;
        sized.width = 2156;
        sized.height = 1000;
        sized.stride = 2156 * 4 + 12;
        ASSERT_TRUE(writeVrsFile((dir / "sized.vrs").string(), sized, samplePicture(2156, 1000)));
        VrsLayout rect;
        rect.sized = false;
        rect.depth = 16;
        rect.width = 1280;
        rect.height = 1600;
        ASSERT_TRUE(writeVrsFile((dir / "rect.vrs").string(), rect, samplePicture(1280, 1600)));
        VrsLayout old = sized;
        old.version = 1;
        ASSERT_TRUE(writeVrsFile((dir / "old.vrs").string(), old, samplePicture(2156, 1000)));
    }
    ScratchDir dir;
};

TEST_F(VrstoolInfo, DescribesHeaderSizesAndViewImage) {
    const ToolRun r = runTool({"info", "sized.vrs", "rect.vrs"}, dir.path());
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ(
        "sized.vrs\n"
        "  header:   sized (\"isbg\")\n"
        "  version:  2\n"
        "  depth:    32 bits\n"
        "  size:     2156 x 1000 pixels\n"
        "  stride:   8636 bytes\n"
        "  view:     1599 x 742 (scale 0.7421150278293135)\n"
        "  readable: yes\n"
        "rect.vrs\n"
        "  header:   rectangle\n"
        "  version:  2\n"
        "  depth:    16 bits\n"
        "  size:     1280 x 1600 pixels\n"
        "  stride:   2576 bytes\n"
        "  view:     960 x 1200 (scale 0.75)\n"
        "  readable: yes\n",
        r.out);
}

TEST_F(VrstoolInfo, UnreadableFilesGiveTheViewersReasonAndExit1) {
    const auto bytes = readFile(dir / "old.vrs");
    const std::string reason = describeLoadError(inspectVirtualScreen(bytes.data(), bytes.size()));
    ASSERT_FALSE(reason.empty());
    const ToolRun r = runTool({"info", "old.vrs", "missing.vrs", "sized.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(has(r.out, "  version:  1\n  depth:    32 bits\n"));
    EXPECT_TRUE(has(r.out, "missing.vrs\n  readable: no\n"));
    EXPECT_TRUE(has(r.out, "sized.vrs\n  header:   sized"));
    // The failures, one line each, on standard error only.
    EXPECT_EQ("vrstool: old.vrs: " + reason + "\nvrstool: missing.vrs: No such file or directory\n",
              r.err);
    EXPECT_FALSE(has(r.out, reason));
}

TEST_F(VrstoolInfo, AFileOfAnotherFormatIsNamedWithoutHeaderFigures) {
    const std::string png = "\x89PNG\r\n\x1A\n" + std::string(300, '\x11');
    ASSERT_TRUE(writeFile(dir / "shot.vrs", {png.begin(), png.end()}));
    const ToolRun r = runTool({"info", "shot.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("shot.vrs\n  header:   none, a PNG picture\n  readable: no\n", r.out);
    EXPECT_EQ(
        "vrstool: shot.vrs: This file can't be read: it is a PNG picture, not a "
        "virtual-screen file.\n",
        r.err);
    const ToolRun json = runTool({"info", "--json", "shot.vrs"}, dir.path());
    EXPECT_TRUE(has(json.out,
                    "{\"file\": \"shot.vrs\", \"header\": \"none\", \"format\": "
                    "\"PNG\", \"readable\": false"))
        << json.out;
}

TEST_F(VrstoolInfo, StandardInputThatCannotBeReadIsNotReadable) {
    const ToolRun r = runTool({"info", "-"}, dir.path(), false, ".");  // a folder: EISDIR
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("-\n  readable: no\n", r.out);
    EXPECT_EQ("vrstool: standard input: Is a directory\n", r.err);
}

TEST_F(VrstoolInfo, JsonHasOneObjectPerFile) {
    std::filesystem::copy_file(dir / "rect.vrs", dir / "we\"ird\\name.vrs");
    const ToolRun r =
        runTool({"info", "--json", "rect.vrs", "old.vrs", "we\"ird\\name.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(
        0u, r.out.rfind("[\n  {\"file\": \"rect.vrs\", \"header\": \"rectangle\", \"version\": 2, "
                        "\"depth\": 16, \"width\": 1280, \"height\": 1600, \"stride\": 2576, "
                        "\"view\": {\"width\": 960, \"height\": 1200, \"scale\": 0.75}, "
                        "\"readable\": true},\n",
                        0))
        << r.out;
    EXPECT_TRUE(has(r.out, "\"readable\": false, \"error\": \"This file can't be read:"));
    EXPECT_TRUE(has(r.out, "{\"file\": \"we\\\"ird\\\\name.vrs\""));
    EXPECT_EQ("\n]\n", r.out.substr(r.out.size() - 3));
}

// Control characters in a name are shown as the shell quotes them, in the
// text and in every error line: nothing reaches the terminal as a command,
// and one failure is one line.
TEST_F(VrstoolInfo, ControlCharactersInNamesAreShownEscaped) {
    const std::string title = "\x1b]0;title\a.vrs";
    std::filesystem::copy_file(dir / "old.vrs", dir / title);
    const ToolRun info = runTool({"info", title, "a\nb.vrs"}, dir.path());
    EXPECT_EQ(1, info.status);
    EXPECT_EQ(0u, info.out.rfind("$'\\033'']0;title'$'\\a''.vrs'\n", 0)) << info.out;
    EXPECT_TRUE(has(info.err, "vrstool: 'a'$'\\n''b.vrs': No such file or directory\n"))
        << info.err;
    const ToolRun convert = runTool({"convert", "-d", "out\r", "-f", "png", title}, dir.path());
    EXPECT_EQ(1, convert.status);
    for (const ToolRun* r : {&info, &convert}) {
        EXPECT_EQ(std::string::npos, (r->out + r->err).find_first_of("\x1b\a\r")) << r->err;
    }
    EXPECT_EQ(1, std::count(convert.err.begin(), convert.err.end(), '\n')) << convert.err;
}

TEST_F(VrstoolInfo, JsonStaysUtf8ForAFileNameThatIsNot) {
    const std::string name = "caf\xE9-\xFF.vrs";  // Latin-1 bytes, not UTF-8
    std::filesystem::copy_file(dir / "rect.vrs", dir / name);
    const ToolRun r = runTool({"info", "--json", name, "old.vrs"}, dir.path());
    EXPECT_EQ(1, r.status);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    ASSERT_EQ(QJsonParseError::NoError, error.error) << error.errorString().toStdString() << r.out;
    const QJsonObject first = doc.array().at(0).toObject();
    EXPECT_EQ(QString::fromUtf8("caf\uFFFD-\uFFFD.vrs"), first["file"].toString());
    EXPECT_EQ("636166e92dff2e767273", first["file_hex"].toString().toStdString());
    EXPECT_EQ(1600, first["height"].toInt());
    EXPECT_FALSE(doc.array().at(1).toObject().contains("file_hex"));
}

}  // namespace
}  // namespace vrs::testing
