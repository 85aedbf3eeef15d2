// vrstool thumbnail: a small PNG for file managers, made from a few sampled
// rows of the file. Writes nothing but its output.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "export/export_image.h"
#include "export/file_row_source.h"

namespace vrs::cli {

int runThumbnail(int argc, char** argv) {
    if (wantsHelp(argc, argv)) {
        std::fputs(thumbnailHelp().data(), stdout);
        return kExitOk;
    }
    std::int64_t size = 256;
    std::vector<std::string> paths;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "-s") {
            if (i + 1 >= argc || !parseNumber(argv[++i], 1, 4096, &size)) {
                return usageError("thumbnail", "-s takes a size from 1 to 4096");
            }
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return usageError("thumbnail", "unknown option " + arg);
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2) {
        return usageError("thumbnail", "give one FILE and one OUT.png");
    }
    InputFile file;
    if (!file.open(paths[0])) {
        std::fprintf(stderr, "vrstool: %s\n", file.error.c_str());
        return kExitFailed;
    }
    ThumbnailRowSource source(file.rows(), size);
    if (!source.valid()) {
        std::fprintf(stderr, "vrstool: %s: not enough memory\n", paths[0].c_str());
        return kExitFailed;
    }
    // Always PNG, whatever OUT is called: file managers pick the name.
    const ExportResult r = writeImageFile(source, paths[1], ImageFormat::Png);
    if (!r.ok()) {
        std::fprintf(stderr, "vrstool: %s\n",
                     source.fileChanged() ? file.changedError().c_str()
                                          : (paths[0] + ": " + describeExportResult(r)).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace vrs::cli
