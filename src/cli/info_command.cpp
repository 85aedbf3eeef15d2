// SPDX-License-Identifier: MIT
// vrstool info: what the header says and whether the file can be read.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/json_text.h"
#include "cli/shown_name.h"
#include "decode/decoder.h"
#include "vrscreen/header.h"

namespace vrs::cli {
namespace {

struct Report {
    std::string path;
    bool headerRead = false;  // the file holds a whole header
    bool notCapture = false;  // ... which is not a capture's: its figures mean nothing
    PictureFormat format = PictureFormat::None;
    std::int32_t version = 0;
    HeaderGeometry geometry;  // what the header says, also for a refused file
    ViewSize view;
    std::string error;
    std::string failure;  // the line for standard error: the file and why
};

Report inspectFile(const std::string& path) {
    Report r;
    r.path = path;
    InputFile file;
    const bool readable = file.open(path);
    r.failure = file.error;
    const bool opened = file.header() != nullptr;
    r.notCapture = opened && (file.info.error == LoadError::OtherFormat ||
                              file.info.error == LoadError::NotVirtualScreen);
    r.format = r.notCapture ? file.info.format : PictureFormat::None;
    r.headerRead = opened && file.size() >= kHeaderSize && !r.notCapture;
    if (r.headerRead) {
        VRScreenFileHeader header;
        VRScreenFileHeaderConvertToHost(file.header(), &header);
        r.version = header.version;
        r.geometry = headerGeometry(header);
    }
    if (readable) {
        r.view = viewSizeFor(file.info.layout.width, file.info.layout.height);
    } else {
        // A file that failed before its header was judged (a read error) has its own words.
        r.error = opened && file.info.error != LoadError::None ? describeLoadError(file.info)
                                                               : file.error;
    }
    return r;
}

void printText(const Report& r) {
    std::printf("%s\n", shownName(r.path).c_str());
    if (r.format != PictureFormat::None) {
        const std::string_view name = pictureFormatName(r.format);
        std::printf("  header:   none, a %.*s %s\n", static_cast<int>(name.size()), name.data(),
                    isDocumentFormat(r.format) ? "document" : "picture");
    } else if (r.notCapture) {
        std::printf("  header:   none, not a virtual-screen file\n");
    }
    if (r.headerRead) {
        const HeaderGeometry& i = r.geometry;
        std::printf("  header:   %s\n", i.sized ? "sized (\"isbg\")" : "rectangle");
        std::printf("  version:  %d\n", r.version);
        std::printf("  depth:    %lld bits\n", static_cast<long long>(i.layout.depth));
        std::printf("  size:     %lld x %lld pixels\n", static_cast<long long>(i.layout.width),
                    static_cast<long long>(i.layout.height));
        std::printf("  stride:   %lld bytes\n", static_cast<long long>(i.layout.stride));
    }
    if (r.error.empty()) {
        std::printf("  view:     %lld x %lld (scale %s)\n", static_cast<long long>(r.view.width),
                    static_cast<long long>(r.view.height), shortestNumber(r.view.scale).c_str());
        std::printf("  readable: yes\n");
    } else {
        std::printf("  readable: no\n");
    }
}

std::string jsonObject(const Report& r) {
    std::string o = "{\"file\": " + jsonString(r.path);
    if (!isUtf8(r.path)) {
        o += ", \"file_hex\": \"" + hexBytes(r.path) + "\"";
    }
    if (r.notCapture) {
        o += ", \"header\": \"none\"";
    }
    if (r.format != PictureFormat::None) {
        o += ", \"format\": " + jsonString(std::string(pictureFormatName(r.format)));
    }
    if (r.headerRead) {
        const HeaderGeometry& i = r.geometry;
        o += ", \"header\": \"" + std::string(i.sized ? "sized" : "rectangle") + "\"";
        o += ", \"version\": " + std::to_string(r.version);
        o += ", \"depth\": " + std::to_string(i.layout.depth);
        o += ", \"width\": " + std::to_string(i.layout.width);
        o += ", \"height\": " + std::to_string(i.layout.height);
        o += ", \"stride\": " + std::to_string(i.layout.stride);
    }
    if (r.error.empty()) {
        o += ", \"view\": {\"width\": " + std::to_string(r.view.width) +
             ", \"height\": " + std::to_string(r.view.height) +
             ", \"scale\": " + shortestNumber(r.view.scale) + "}";
        o += ", \"readable\": true}";
    } else {
        o += ", \"readable\": false, \"error\": " + jsonString(r.error) + "}";
    }
    return o;
}

}  // namespace

int runInfo(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        return printText(infoHelp());
    }
    bool json = false;
    std::vector<std::string> files;
    CommandLine line("info");
    line.flag("--json", &json);
    line.operands(&files);
    if (const int status = line.parse(argc, argv); status != 0) {
        return status;
    }
    if (files.empty()) {
        return usageError("info", "no FILE given");
    }
    int status = kExitOk;
    std::vector<std::string> objects;
    for (const std::string& path : files) {
        const Report r = inspectFile(path);
        if (!r.error.empty()) {
            status = kExitFailed;
            std::fprintf(stderr, "vrstool: %s\n", r.failure.c_str());
        }
        if (json) {
            objects.push_back(jsonObject(r));
        } else {
            printText(r);
        }
    }
    if (json) {
        std::printf("[");
        for (std::size_t i = 0; i < objects.size(); ++i) {
            std::printf("%s\n  %s", i == 0 ? "" : ",", objects[i].c_str());
        }
        std::printf("\n]\n");
    }
    return std::fflush(stdout) == 0 ? status : kExitFailed;
}

}  // namespace vrs::cli
