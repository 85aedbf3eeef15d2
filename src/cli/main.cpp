// SPDX-License-Identifier: MIT
// vrstool: the command-line companion of vrsview. No Qt.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/shown_name.h"

namespace {

// A standard stream the caller closed is held by /dev/null opened read-only,
// so that no file opened later takes its number (a spool would be copied onto
// itself) and writes to it still fail. False when one cannot be held.
bool holdClosedStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free number is fd, the ones below being open.
        const int held = open("/dev/null", O_RDONLY);
        if (held != fd) {
            return false;
        }
    }
    return true;
}

int run(int argc, char** argv) {
    using namespace vrs::cli;
    if (argc < 2) {
        std::fputs(mainHelp().data(), stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        return printText(mainHelp());
    }
    if (command == "--version") {
        return printText("vrstool " VRS_VERSION "\n");
    }
    if (command == "info") {
        return runInfo(argc - 2, argv + 2);
    }
    if (command == "convert") {
        return runConvert(argc - 2, argv + 2);
    }
    if (command == "thumbnail") {
        return runThumbnail(argc - 2, argv + 2);
    }
    if (command == "diff") {
        return runDiff(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "vrstool: unknown command %s\nTry \"vrstool --help\".\n",
                 shownName(command).c_str());
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (!holdClosedStandardStreams()) {
        return vrs::cli::kExitFailed;  // nowhere safe to write, nor to tell it
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrstool: %s\n", e.what());
        return vrs::cli::kExitFailed;
    }
}
