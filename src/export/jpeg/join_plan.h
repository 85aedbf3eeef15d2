// SPDX-License-Identifier: MIT
// How the chunks' scans join into one: each chunk's first DC differences
// taken from the chunk before, the Huffman tables made for the counts of the
// whole picture, and where each chunk's bits start.
#pragma once

#include <vector>

#include "export/jpeg/jpeg_header.h"
#include "export/jpeg/scan_recoder.h"

namespace vrs {

struct JoinPlan {
    JpegTables tables;
    ScanEncoders encoders;
    std::vector<RecodeSettings> chunks;
};

// `stats` are the chunks' counts in order, each predicting DC from 0; they
// are changed to the joined scan's. False when a table cannot be made.
bool planJoin(std::vector<ScanStats>& stats, const ScanLayout& layout, JoinPlan* plan);

}  // namespace vrs
