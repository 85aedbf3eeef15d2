// make-bench-picture W H OUT.vrs: the screen-like sample as a sized 32-bit
// file whose rows follow each other without padding (stride 4 x W), so that
// general-purpose converters can read the same pixels as raw data.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sample_picture.h"
#include "vrs_writer.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-bench-picture WIDTH HEIGHT OUT.vrs\n");
        return 2;
    }
    vrs::testing::VrsLayout layout;
    layout.width = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    layout.height = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    if (layout.width == 0 || layout.height == 0 || layout.width > 100000 ||
        layout.height > 100000) {
        std::fprintf(stderr, "make-bench-picture: sizes from 1 to 100000\n");
        return 2;
    }
    layout.stride = 4 * static_cast<std::int64_t>(layout.width);
    if (!vrs::testing::writeVrsFile(argv[3], layout,
                                    vrs::testing::samplePicture(layout.width, layout.height))) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
