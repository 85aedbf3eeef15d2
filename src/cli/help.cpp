#include "cli/help.h"

namespace vrs::cli {

std::string_view mainHelp() {
    return R"(Usage: vrstool COMMAND [OPTIONS] FILE...
Reads virtual-screen files (.vrs); never writes one.

Commands:
  info       describe files: header, size, view size, whether they can be read
  convert    write files as TIFF, JPEG, BMP, GIF or PNG pictures
  thumbnail  write a small PNG of a file, for file managers

Options:
  --help     show this help; "vrstool COMMAND --help" explains a command
  --version  show the version

Exit status: 0 when everything succeeded, 1 when a file failed, 2 on a usage error.
)";
}

std::string_view infoHelp() {
    return R"(Usage: vrstool info [--json] FILE...
Describes each file: its header form (sized or rectangle), version, depth,
width, height and row stride, the size and scale of the view image the
viewer shows, and whether it can be read; if not, why.

Options:
  --json     print one JSON array with an object per file
  --help     show this help

Exit status: 0 when every file can be read, 1 when one cannot, 2 on a usage error.
)";
}

std::string_view convertHelp() {
    return R"(Usage: vrstool convert [--view] (-o OUT | -d DIR -f EXT) [-j N] FILE...
Writes each file's picture as an image file, the format chosen by the
extension exactly as the viewer's Save does: tiff or tif (TIFF), jpeg or
jpg (JPEG), bmp or BMP (BMP), gif or GIF (GIF), png or PNG (PNG). Upper and
lower case matter; OUT without an extension is written as OUT.jpg. Files are
replaced whole or not at all, and an input file is never overwritten.

Options:
  -o OUT     write the one FILE to OUT
  -d DIR     write every FILE into DIR, named after it with the extension EXT
  -f EXT     the extension (and so the format) for -d
  --view     write the view image (at most 1600 x 1200) instead of the full picture
  -j N       convert N files at a time (default 1)
  --help     show this help

Exit status: 0 when every file was written, 1 when one failed (each failure
is one line on standard error), 2 on a usage error.
)";
}

std::string_view thumbnailHelp() {
    return R"(Usage: vrstool thumbnail [-s SIZE] FILE OUT.png
Writes a PNG of FILE whose longer side is at most SIZE pixels (default 256);
smaller pictures keep their size. Only OUT.png is written, whole or not at all.

Options:
  -s SIZE    the longest side, 1 to 4096
  --help     show this help

Exit status: 0 when the thumbnail was written, 1 when it failed, 2 on a usage error.
)";
}

}  // namespace vrs::cli
