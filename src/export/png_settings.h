// The PNG encoder's zlib and filter settings. The defaults were chosen by
// measuring screen-like pictures (bench/export); the benchmark tries others.
#pragma once

#include "export/output_stream.h"
#include "export/row_source.h"

namespace vrs {

// On the 4000 x 3000 sample picture, level 5 with unfiltered rows gives
// 1044 KB in 0.22 s; libpng's own filter choice at level 6 gives 974 KB in
// 0.52 s, level 7 unfiltered 895 KB in 0.69 s, level 2 1327 KB in 0.10 s.
struct PngSettings {
    int level = 5;  // zlib level
    // PNG_FILTER_* bits for libpng's own choice among them; 0: "up" for a row
    // equal to the one above, none otherwise.
    int filters = 0;
    int strategy = 0;  // zlib strategy (Z_DEFAULT_STRATEGY = 0, Z_FILTERED 1, Z_RLE 3)
    int memLevel = 8;  // zlib memory level
};

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
