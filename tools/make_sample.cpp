// SPDX-License-Identifier: MIT
// make-sample: writes a screen-like virtual-screen file for trying the viewer.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_picture.h"
#include "vrs_writer.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: make-sample [--depth 16|32] [--rect] WIDTH HEIGHT OUT.vrs\n"
                 "Writes a screen-like sample picture (sized header unless --rect).\n");
    return 2;
}

bool parseSize(const char* s, std::uint32_t* out) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(s, &end, 10);
    if (end == s || *end != '\0' || v == 0 || v > 1000000) {
        return false;
    }
    *out = static_cast<std::uint32_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    vrs::testing::VrsLayout layout;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        if (std::strcmp(argv[i], "--rect") == 0) {
            layout.sized = false;
        } else if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
            layout.depth = std::atoi(argv[++i]);
            if (layout.depth != 16 && layout.depth != 32) {
                return usage();
            }
        } else {
            return usage();
        }
    }
    if (argc - i != 3 || !parseSize(argv[i], &layout.width) ||
        !parseSize(argv[i + 1], &layout.height)) {
        return usage();
    }
    if (!layout.sized && (layout.width > 32767 || layout.height > 32767)) {
        std::fprintf(stderr, "make-sample: a rectangle header holds at most 32767 x 32767\n");
        return 2;
    }
    const std::string out = argv[i + 2];
    if (!vrs::testing::writeVrsFile(out, layout,
                                    vrs::testing::samplePicture(layout.width, layout.height))) {
        std::perror(out.c_str());
        return 1;
    }
    return 0;
}
