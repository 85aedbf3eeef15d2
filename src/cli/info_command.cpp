// SPDX-License-Identifier: MIT
// vrstool info: what the header says and whether the file can be read.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/json_text.h"
#include "cli/shown_name.h"
#include "vrscreen/capture_report.h"

namespace vrs::cli {
namespace {

struct Report {
    std::string path;
    std::string failure;  // the line for standard error: the file and why
    CaptureReport capture;
};

Report inspectFile(const std::string& path) {
    InputFile file;
    const bool readable = file.open(path);
    // A file that failed before its header was judged (a read error) has its own words.
    const bool judged = readable || file.info.error != LoadError::None;
    return {path, file.error,
            reportCapture(file.header(), file.info, judged ? std::string() : file.error)};
}

void printText(const Report& report) {
    std::printf("%s\n", shownName(report.path).c_str());
    const CaptureReport& r = report.capture;
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

std::string jsonValue(const ReportField& field);

std::string jsonFields(const std::vector<ReportField>& fields) {
    std::string o;
    for (const ReportField& field : fields) {
        o += ", " + jsonString(field.name) + ": " + jsonValue(field);
    }
    return o;
}

std::string jsonValue(const ReportField& field) {
    const auto& v = field.value;
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return std::to_string(*i);
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return shortestNumber(*d);
    }
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b ? "true" : "false";
    }
    if (const auto* text = std::get_if<std::string>(&v)) {
        return jsonString(*text);
    }
    // Nested fields: an object of their own.
    return "{" + jsonFields(std::get<std::vector<ReportField>>(v)).substr(2) + "}";
}

std::string jsonObject(const Report& r) {
    std::string o = "{\"file\": " + jsonString(r.path);
    if (!isUtf8(r.path)) {
        o += ", \"file_hex\": \"" + hexBytes(r.path) + "\"";
    }
    return o + jsonFields(reportFields(r.capture)) + "}";
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
        if (!r.capture.error.empty()) {
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
