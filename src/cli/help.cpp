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
  diff       compare two pictures (captures or PNG files): what changed, and where

Options:
  --help     show this help; "vrstool COMMAND --help" explains a command
  --version  show the version

Exit status: 0 when everything succeeded, 1 when a file failed, 2 on a usage
error; diff: 0 identical, 1 different, 2 trouble.
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

std::string_view diffHelp() {
    return R"(Usage: vrstool diff [OPTIONS] A B
Compares two pictures and tells what changed. A and B are captures (16 or
32 bits, either header form) or PNG files, in any mix, compared as the
colours the viewer shows: a 16-bit capture equals its 32-bit or PNG copy.
Both are read once, row by row; "-" is standard input (one of them).

Prints "identical", or "N pixels differ (P %) in K regions" and one line
"X,Y WxH" a region (pixels from the top-left corner), the largest first, at
most 50, then "and M more". A region is a group of differing pixels that
touch; regions whose boxes overlap or lie closer than 8 pixels are one.
Pictures of different sizes: "sizes differ: 640 x 480 and 800 x 600".

Options:
  --threshold T      count a pixel only when its colours lie further apart
                     than T, from 0 (any change, the default) to 1 (black
                     against white), in pixelmatch's YIQ distance: the same
                     threshold counts the same pixels as pixelmatch 7
  --antialiasing     leave out pixels that look anti-aliased in either picture,
                     as pixelmatch does (its includeAA false)
  --ignore X,Y,W,H   do not compare the pixels of this box (a clock, a cursor);
                     may be given more than once
  -o, --output DIFF.png
                     write B in faded grey with the differing pixels in red and
                     each region outlined in blue; "-o -" writes it to standard
                     output (not a terminal) and the report to standard error.
                     A and B are read a second time for it.
  --mask             with -o: only the differing pixels, red on transparency
  --json             print one JSON object: identical, sizes_differ, width,
                     height, differing_pixels, bounds ([x, y, w, h] or null),
                     regions (a list of [x, y, w, h]), max_delta (the largest
                     colour distance counted, on the scale of --threshold); for
                     different sizes, sizes ([[w, h], [w, h]])
  --help             show this help

Exit status: 0 identical, 1 different (pixels or sizes), 2 trouble (a file
that cannot be read, one line on standard error for each, or a DIFF.png
that cannot be written) or a usage error.
)";
}

}  // namespace vrs::cli
