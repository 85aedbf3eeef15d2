// The PNG encoder's zlib and filter settings. The defaults were chosen by
// measuring screen-like pictures (bench/export); the benchmark tries others.
#pragma once

#include "export/output_stream.h"
#include "export/row_source.h"

namespace vrs {

struct PngSettings {
    int level = 2;     // zlib level
    int filters = 0;   // PNG_FILTER_* bits; 0 means the default below
    int strategy = 0;  // zlib strategy (Z_DEFAULT_STRATEGY = 0, Z_FILTERED 1, Z_RLE 3)
    int memLevel = 8;  // zlib memory level
};

// The filters used when PngSettings::filters is 0.
int defaultPngFilters();

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings);

}  // namespace vrs
