// SPDX-License-Identifier: MIT
// What `vrstool info` says about a file, worked out once from the header's
// bytes and the loader's inspection, and the same facts as a list of named
// fields in the order its JSON gives them: vrstool prints them as JSON, the
// Python module hands them over as a dict.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "decode/decoder.h"
#include "vrscreen/header.h"
#include "vrscreen/loader.h"

namespace vrs {

struct CaptureReport {
    bool headerRead = false;  // the file holds a whole header
    bool notCapture = false;  // ... which is not a capture's: its figures mean nothing
    PictureFormat format = PictureFormat::None;
    std::int32_t version = 0;
    HeaderGeometry geometry;  // what the header says, also for a refused file
    ViewSize view;            // of a readable file
    std::string error;        // why the file cannot be read; empty when it can
};

// `header`: the file's first bytes (kHeaderSize of them when info.fileSize
// reaches that), or null when the file could not be opened. `info`: what
// inspectVirtualScreen found. `failure`: why the file could not be read
// before its header was judged (an open or read error), else empty.
CaptureReport reportCapture(const std::uint8_t* header, const VirtualScreenInfo& info,
                            const std::string& failure);

// One named value of a report; a field may hold fields of its own (the view).
struct ReportField {
    std::string name;
    std::variant<std::int64_t, double, bool, std::string, std::vector<ReportField>> value;
};

// The report's fields after the file's name, in vrstool's JSON order.
std::vector<ReportField> reportFields(const CaptureReport& report);

}  // namespace vrs
