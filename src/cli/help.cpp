// SPDX-License-Identifier: MIT
#include "cli/help.h"

namespace vrs::cli {

std::string_view mainHelp() {
    return R"(Usage: vrstool COMMAND [OPTIONS] FILE...
Reads virtual-screen files (.vrs); never writes one. Each FILE must be a
regular file, or "-" for standard input. A file that changes while it is
read fails with "FILE: changed while it was being read".

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
  --json     print one JSON array with an object per file; a file name that
             is not UTF-8 is shown with U+FFFD in "file" and its bytes in
             "file_hex" (two hexadecimal digits a byte)
  --help     show this help

A file that cannot be read is described on standard output ("readable: no")
and its reason is one line on standard error.

Exit status: 0 when every file can be read, 1 when one cannot, 2 on a usage error.
)";
}

std::string_view convertHelp() {
    return R"(Usage: vrstool convert [--view] (-o OUT | -d DIR -f EXT) [-j N] [--quality N] FILE...
Writes each file's picture as an image file, the format chosen by the
extension exactly as the viewer's Save does: tiff or tif (TIFF), jpeg or
jpg (JPEG), bmp or BMP (BMP), gif or GIF (GIF), png or PNG (PNG). Upper and
lower case matter; OUT without an extension is written as OUT.jpg. Files are
replaced whole or not at all (keeping their permissions, and their owner
where allowed), and an input file is never overwritten. A symbolic link is
followed and stays a link; a FIFO or device is written to, not replaced.
A picture larger than its format can hold is refused before it is converted.

Options:
  -o, --output OUT   write the one FILE to OUT; "-o -" writes it to standard
                     output (not a terminal) as JPEG, or in the format of -f EXT
  -d, --dir DIR      write every FILE into DIR, named after it with the extension EXT
  -f, --format EXT   the extension (and so the format) for -d or -o -
  --view             write the view image (at most 1600 x 1200) instead of the full picture
  -j, --jobs N       convert N files at a time, 1 to 64 (default 1)
  --quality N        JPEG quality, 1 to 100 (default 50, as the viewer saves)
  -q, --quiet        show no progress bar
  --help             show this help

Options take their value as "-o OUT", "-oOUT", "--output OUT" or
"--output=OUT"; "--" ends the options.

Exit status: 0 when every file was written, 1 when one failed (each failure
is one line on standard error), 2 on a usage error.
)";
}

std::string_view thumbnailHelp() {
    return R"(Usage: vrstool thumbnail [-s SIZE] FILE OUT.png
Writes a PNG of FILE whose longer side is at most SIZE pixels (default 256);
smaller pictures keep their size. Only OUT.png is written, whole or not at all,
and never onto FILE; OUT.png "-" is standard output (not a terminal).

Options:
  -s, --size SIZE    the longest side, 1 to 4096
  --help             show this help

Exit status: 0 when the thumbnail was written, 1 when it failed, 2 on a usage error.
)";
}

}  // namespace vrs::cli
