// SPDX-License-Identifier: MIT
// vrstool thumbnail: a small PNG for file managers, made from a few sampled
// rows of the file. Writes nothing but its output.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/output_check.h"
#include "cli/shown_name.h"
#include "decode/file_row_source.h"
#include "export/export_image.h"
#include "platform/cleanup_signals.h"

namespace vrs::cli {

int runThumbnail(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        return printText(thumbnailHelp());
    }
    std::string sizeText;
    std::vector<std::string> paths;
    CommandLine line("thumbnail");
    line.option("-s,--size", &sizeText);
    line.operands(&paths);
    if (const int status = line.parse(argc, argv); status != 0) {
        return status;
    }
    std::int64_t size = 256;
    if (!sizeText.empty() && !parseNumber(sizeText, 1, 4096, &size)) {
        return usageError("thumbnail", "-s takes a size from 1 to 4096");
    }
    if (paths.size() != 2) {
        return usageError("thumbnail", "give one FILE and one OUT.png");
    }
    const bool toStdout = paths[1] == kStandardStream;
    if (toStdout && isatty(STDOUT_FILENO) == 1) {
        return usageError("thumbnail",
                          "- writes the PNG to standard output, which is a "
                          "terminal; redirect it to a file or a pipe");
    }
    if (const std::string refusal = OutputCheck({paths[0]}).claim(paths[1], paths[0]);
        !refusal.empty()) {
        std::fprintf(stderr, "vrstool: %s: not written: %s\n", shownName(paths[0]).c_str(),
                     refusal.c_str());
        return kExitFailed;
    }
    removeTempsOnSignals();
    InputFile file;
    if (!file.open(paths[0])) {
        std::fprintf(stderr, "vrstool: %s\n", file.error.c_str());
        return kExitFailed;
    }
    ThumbnailRowSource source(file.rows(), size);
    if (!source.valid()) {
        std::fprintf(stderr, "vrstool: %s\n", outOfMemory(shownName(paths[0])).c_str());
        return kExitFailed;
    }
    // Always PNG, whatever OUT is called: file managers pick the name.
    const ExportResult r = toStdout ? writeImageToDescriptor(source, STDOUT_FILENO,
                                                             "standard output", ImageFormat::Png)
                                    : writeImageFile(source, paths[1], ImageFormat::Png);
    if (!r.ok()) {
        std::fprintf(
            stderr, "vrstool: %s\n",
            source.fileChanged()
                ? file.changedError().c_str()
                : (shownName(paths[0]) + ": " + describeExportResultShown(r, shownName)).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace vrs::cli
