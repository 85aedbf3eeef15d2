// SPDX-License-Identifier: MIT
#include "plugin_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "sample_picture.h"
#include "test_support.h"

namespace vrs::testing {

bool runProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv = argvOf(args);
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::filesystem::path writeSample(const std::filesystem::path& dir, const std::string& name,
                                  VrsLayout layout) {
    const std::filesystem::path path = dir / name;
    if (!writeVrsFile(path.string(), layout, samplePicture(layout.width, layout.height))) {
        return {};
    }
    return path;
}

std::vector<std::filesystem::path> corpusFiles(const std::string& prefix) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(VRS_LOADER_CORPUS)) {
        if (e.path().filename().string().rfind(prefix, 0) == 0) {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace vrs::testing
